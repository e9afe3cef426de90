// The Programs page control that the shell hosts as its page 1: it holds the Programs
// form and turns the shell's page commands into presses of the form's buttons.
#pragma once

#include "platform/components/pagecommand.h"

#include <QWidget>

namespace dh::programs {

class CProgramsForm;

class CProgramsCtrl : public QWidget {
  Q_OBJECT

public:
  static constexpr const char* kClassId = "{D68B4CB9-FB7F-4335-8A2E-B36E99F24C17}";
  static constexpr const char* kProgId = "PROGRAMS.ProgramsCtrl.1";

  explicit CProgramsCtrl(QWidget* parent = nullptr);

  CProgramsForm* form() const { return form_; }

protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  bool OnCommand(dh::component::PageCommand command);

  CProgramsForm* form_;
};

} // namespace dh::programs
