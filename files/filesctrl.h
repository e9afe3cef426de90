// The My Files page control that the shell hosts as its page 2: it holds the form and
// turns the shell's page commands into presses of the form's buttons.
#pragma once

#include "common/ui/pagectrl.h"

namespace dh::files {

class CFilesForm;

class CFilesCtrl : public CPageCtrl {
  Q_OBJECT

public:
  static constexpr const char* kClassId = "{452EA9A3-331A-4DA8-9F81-AE4EB4702D00}";
  static constexpr const char* kProgId = "FILES.FilesCtrl.1";

  explicit CFilesCtrl(QWidget* parent = nullptr);

  CFilesForm* form() const { return form_; }

protected:
  bool OnCommand(PageCommand command) override;
  std::span<const Press> presses() const override;

private:
  CFilesForm* form_;
};

} // namespace dh::files
