// What screen readers learn about an image button: its name (the caption, else the tool
// tip), its role (push button, or check box when it is checkable), and its checked,
// pressed and enabled state.
#pragma once

#include <QAccessibleWidget>

namespace dh {

class CButtonST;

class CButtonAccessible : public QAccessibleWidget {
public:
  explicit CButtonAccessible(CButtonST* button);

  // Registers the interface with Qt once per process.
  static void install();

  QAccessible::Role role() const override;
  QAccessible::State state() const override;
  QString text(QAccessible::Text kind) const override;
  QStringList actionNames() const override;
  void doAction(const QString& action) override;

private:
  CButtonST* button() const;
};

} // namespace dh
