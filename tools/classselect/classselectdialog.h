// The class selector's window: the configured classes with the recorded one selected;
// OK (or a double click) records the chosen class where the shell reads it.
#pragma once

#include "tools/classselect/classplace.h"

#include <QDialog>

class QDialogButtonBox;
class QListWidget;

namespace dh::classselect {

class ClassSelectDialog : public QDialog {
  Q_OBJECT

public:
  ClassSelectDialog(ClassPlace place, const std::vector<std::string>& classes,
                    QWidget* parent = nullptr);

  // Records the selected class and closes; when the class cannot be recorded the pupil is
  // told and the window stays open.
  void accept() override;

private:
  ClassPlace place_;
  QListWidget* list_;
  QDialogButtonBox* buttons_;
};

// The whole interactive run for a platform mode: tells the pupil (through the message
// service) when no class can be chosen, else shows the window. Returns the exit status:
// 0 when a class was recorded or the pupil cancelled, 1 when nothing could be chosen.
int runClassSelector(int mode);

} // namespace dh::classselect
