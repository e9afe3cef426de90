// How a long file operation reports how far it has got and learns that the user wants it
// to stop. ProgressDialog is what users see; tests put in their own to cancel, or to
// change the disk, at a chosen moment.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace dh::shellops {

class Progress {
public:
  virtual ~Progress() = default;
  // A new item begins: its name and how many bytes it holds (0 when unknown).
  virtual void beginItem(const QString& name, qint64 bytes) = 0;
  // bytes more of the current item are done. Returns false when the work must stop.
  virtual bool advance(qint64 bytes) = 0;
};

// Shows a progress dialog with Cancel once the work has taken about half a second, so
// quick operations never flash a window. Until then, and while it is shown, the events
// the window needs are handled between steps; the user's input reaches nothing else.
class ProgressDialog final : public Progress {
public:
  ProgressDialog(QWidget* owner, const QString& title);
  ~ProgressDialog() override;

  void beginItem(const QString& name, qint64 bytes) override;
  bool advance(qint64 bytes) override;

  static constexpr int kShowAfterMs = 500;

private:
  void update();

  QWidget* owner_;
  QString title_;
  QString name_;
  qint64 itemBytes_ = 0;
  qint64 doneBytes_ = 0;
  QElapsedTimer started_;
  QElapsedTimer lastUpdate_;
  std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace dh::shellops
