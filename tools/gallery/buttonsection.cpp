// The image buttons in every state a pupil can meet: three sheets (flat, classic, and
// layouts with the themed variant), each saved whole and cell by cell.
#include "tools/gallery/gallery.h"

#include "common/ui/buttonst.h"
#include "common/ui/winxpbuttonst.h"

#include <QApplication>
#include <QEnterEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

#include <functional>
#include <vector>

namespace dh::gallery {

namespace {

// A grid of labelled cells, each holding one button.
class Sheet : public QWidget {
public:
  explicit Sheet(const QString& name) : name_(name) {
    setWindowTitle(name);
    grid_ = new QGridLayout(this);
    grid_->setSpacing(12);
    grid_->setContentsMargins(16, 16, 16, 16);
  }

  void heading(const QString& text) {
    if (column_ > 0)
      ++row_;
    auto* label = new QLabel(QStringLiteral("<b>%1</b>").arg(text), this);
    grid_->addWidget(label, row_++, 0, 1, -1);
    column_ = 0;
  }

  // A button in a new cell; `prepare` puts it into its state once the sheet is active.
  template <class Button>
  Button* add(const QString& cellName, const QString& label, QSize size,
              std::function<void(Button&)> prepare = {}) {
    auto* cell = new QWidget(this);
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* button = new Button(cell);
    button->setFixedSize(size);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    auto* caption = new QLabel(label, cell);
    caption->setAlignment(Qt::AlignHCenter);
    QPalette muted = caption->palette();
    muted.setColor(QPalette::WindowText, muted.color(QPalette::PlaceholderText));
    caption->setPalette(muted);
    layout->addWidget(caption);
    grid_->addWidget(cell, row_, column_++);
    if (prepare)
      steps_.push_back([button, prepare] { prepare(*button); });
    cells_.push_back({cellName, cell});
    return button;
  }

  // `first` runs before the cells are prepared: a popup opened later would take the
  // hover from a cell.
  void shoot(Gallery& gallery, const std::function<void()>& first = {}) {
    Gallery::showActive(*this);
    if (first)
      first();
    for (const auto& step : steps_)
      step();
    QApplication::processEvents();
    gallery.save(*this, QStringLiteral("buttons-%1").arg(name_));
    for (const auto& [cellName, cell] : cells_)
      gallery.save(*cell, QStringLiteral("buttons-%1-%2").arg(name_, cellName));
  }

private:
  QString name_;
  QGridLayout* grid_;
  int row_ = 0;
  int column_ = 0;
  std::vector<std::function<void()>> steps_;
  std::vector<std::pair<QString, QWidget*>> cells_;
};

void hover(CButtonST& button) {
  const QPointF inside(4, 4);
  QEnterEvent enter(inside, inside, button.mapToGlobal(inside));
  QApplication::sendEvent(&button, &enter);
}

void press(CButtonST& button) {
  button.setDown(true);
}
void focus(CButtonST& button) {
  button.setFocus(Qt::TabFocusReason);
}

QIcon icon(const char* name) {
  return QIcon(Gallery::demoPicture(QLatin1String(name)));
}

template <class Button = CButtonST>
Button* pageButton(Sheet& sheet, const QString& cellName, const QString& label,
                   std::function<void(CButtonST&)> prepare = {}, bool flat = true) {
  auto* button = sheet.add<Button>(cellName, label, QSize(132, 44), prepare);
  button->AssignIcons(icon("files-folder-hover.svg"), icon("files-folder-normal.svg"));
  button->setText(QStringLiteral("My &Files"));
  button->SetHoverTip(QStringLiteral("Shows your files"));
  button->SetFlatLook(flat);
  setPageButtonColours(*button);
  return button;
}

void stateSheet(Gallery& gallery, const QString& name, bool flat) {
  Sheet sheet(name);
  sheet.heading(flat ? QStringLiteral("Flat push button") : QStringLiteral("Classic push button"));
  pageButton(sheet, QStringLiteral("normal"), QStringLiteral("normal"), {}, flat);
  pageButton(sheet, QStringLiteral("hover"), QStringLiteral("pointer over it"), hover, flat);
  pageButton(
      sheet, QStringLiteral("pressed"), QStringLiteral("pressed"),
      [](CButtonST& b) {
        hover(b);
        press(b);
      },
      flat);
  pageButton(sheet, QStringLiteral("focused"), QStringLiteral("keyboard focus"), focus, flat);
  pageButton(sheet, QStringLiteral("disabled"), QStringLiteral("disabled"), {}, flat)
      ->setEnabled(false);
  if (!flat)
    pageButton(sheet, QStringLiteral("default"), QStringLiteral("default button"), {}, flat)
        ->setDefault(true);

  sheet.heading(QStringLiteral("Check-box button (a page button)"));
  for (const auto& [cell, label, checked, hovered] :
       {std::tuple{"unchecked", "unchecked", false, false},
        std::tuple{"unchecked-hover", "unchecked, pointer over it", false, true},
        std::tuple{"checked", "checked (page on show)", true, false}}) {
    auto* button = pageButton(sheet, QLatin1String(cell), QLatin1String(label),
                              hovered ? std::function<void(CButtonST&)>(hover) : nullptr, flat);
    button->setCheckable(true);
    button->SetCheckState(checked);
  }
  sheet.shoot(gallery);
}

void layoutSheet(Gallery& gallery) {
  Sheet sheet(QStringLiteral("layout"));
  sheet.heading(QStringLiteral("Picture alignment (left, above, right) and picture only"));
  const std::pair<CButtonST::ImageAlignment, const char*> alignments[] = {
      {CButtonST::ImageLeft, "left"},
      {CButtonST::ImageAbove, "above"},
      {CButtonST::ImageRight, "right"}};
  for (const auto& [alignment, name] : alignments) {
    auto* button = sheet.add<CButtonST>(
        QStringLiteral("align-%1").arg(QLatin1String(name)),
        QStringLiteral("picture %1").arg(QLatin1String(name)),
        alignment == CButtonST::ImageAbove ? QSize(96, 64) : QSize(120, 40), hover);
    button->AssignIcons(icon("links-globe-hover.svg"), icon("links-globe-normal.svg"));
    button->setText(QStringLiteral("Links"));
    button->SetImageAlignment(alignment);
    setPageButtonColours(*button);
  }
  auto* only = sheet.add<CButtonST>(QStringLiteral("picture-only"), QStringLiteral("no caption"),
                                    QSize(44, 44), hover);
  only->AssignIcons(icon("programs-tiles-hover.svg"), icon("programs-tiles-normal.svg"));
  only->SetHoverTip(QStringLiteral("Shows your programs"));

  sheet.heading(QStringLiteral("Themed button: rounded and square frame under the pointer"));
  for (const bool rounded : {true, false}) {
    auto* xp = sheet.add<CWinXPButtonST>(rounded ? QStringLiteral("xp-rounded")
                                                 : QStringLiteral("xp-square"),
                                         rounded ? QStringLiteral("rounded, pointer over it")
                                                 : QStringLiteral("square, pointer over it"),
                                         QSize(132, 44), hover);
    xp->AssignIcons(icon("programs-tiles-hover.svg"), icon("programs-tiles-normal.svg"));
    xp->setText(QStringLiteral("&Programs"));
    xp->SetRoundedFrame(rounded);
    setPageButtonColours(*xp);
  }
  auto* options = sheet.add<CWinXPButtonST>(QStringLiteral("menu-open"),
                                            QStringLiteral("menu open"), QSize(132, 44));
  options->AssignIcons(icon("options-gear-hover.svg"), icon("options-gear-normal.svg"));
  options->setText(QStringLiteral("&Options"));
  options->SetRoundedFrame(true);
  setPageButtonColours(*options);
  auto* menu = new QMenu;
  menu->addAction(QStringLiteral("&Show OnScreen Helper"));
  menu->addAction(QStringLiteral("S&ilent"));
  options->AttachMenu(menu);

  sheet.heading(QStringLiteral("Bitmap with magenta background, long caption"));
  auto* logo = sheet.add<CButtonST>(QStringLiteral("bitmap"), QStringLiteral("magenta left out"),
                                    QSize(56, 44), hover);
  const QPixmap house(Gallery::demoPicture(QStringLiteral("logo-house-magenta.bmp")));
  logo->AssignBitmaps(house, Qt::magenta);
  logo->SetBorderOnHover(false);
  auto* wrapped = sheet.add<CButtonST>(QStringLiteral("word-wrap"), QStringLiteral("caption wraps"),
                                       QSize(132, 52));
  wrapped->AssignIcons(icon("files-folder-hover.svg"), icon("files-folder-normal.svg"));
  wrapped->setText(QStringLiteral("Shared class folder"));
  sheet.shoot(gallery, [options] { options->click(); });
  options->attachedMenu()->hide();
}

} // namespace

void buttonSection(Gallery& gallery) {
  stateSheet(gallery, QStringLiteral("flat"), true);
  stateSheet(gallery, QStringLiteral("classic"), false);
  layoutSheet(gallery);
}

} // namespace dh::gallery
