// The Links page control that the shell hosts as its page 3: it holds the Links form and
// turns the shell's page commands into presses of the form's buttons.
#pragma once

#include "common/ui/pagectrl.h"

namespace dh::sitebook {

class CSitebookForm;

class CSitebookCtrl : public CPageCtrl {
  Q_OBJECT

public:
  static constexpr const char* kClassId = "{C064B317-949F-4497-A28B-AFA9CAFACF8A}";
  static constexpr const char* kProgId = "SITEBOOK.SitebookCtrl.1";

  explicit CSitebookCtrl(QWidget* parent = nullptr);

  CSitebookForm* form() const { return form_; }

protected:
  bool OnCommand(PageCommand command) override;
  std::span<const Press> presses() const override;

private:
  CSitebookForm* form_;
};

} // namespace dh::sitebook
