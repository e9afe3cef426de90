// The Programs page control that the shell hosts as its page 1: it holds the Programs
// form and turns the shell's page commands into presses of the form's buttons.
#pragma once

#include "common/ui/pagectrl.h"

namespace dh::programs {

class CProgramsForm;

class CProgramsCtrl : public CPageCtrl {
  Q_OBJECT

public:
  static constexpr const char* kClassId = "{D68B4CB9-FB7F-4335-8A2E-B36E99F24C17}";
  static constexpr const char* kProgId = "PROGRAMS.ProgramsCtrl.1";

  explicit CProgramsCtrl(QWidget* parent = nullptr);

  CProgramsForm* form() const { return form_; }

protected:
  bool OnCommand(PageCommand command) override;
  std::span<const Press> presses() const override;

private:
  CProgramsForm* form_;
};

} // namespace dh::programs
