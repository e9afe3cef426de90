// The Links page control that the shell hosts as its page 3: it holds the Links form and
// turns the shell's page commands into presses of the form's buttons.
#pragma once

#include <QWidget>

class SitebookForm;

class CSitebookCtrl : public QWidget {
  Q_OBJECT

public:
  static constexpr const char* kClassId = "{025FE3DF-034D-43FA-A93A-F80B463451C6}";
  static constexpr const char* kProgId = "SITEBOOK.SitebookCtrl.1";

  explicit CSitebookCtrl(QWidget* parent = nullptr);

  SitebookForm* Form() const { return form_; }

protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  bool OnCommand(int command);

  SitebookForm* form_;
};
