#include "common/ui/buttonst.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

using dh::CButtonST;

namespace {

const QColor kHoverRed(220, 0, 0);
const QColor kNormalBlue(0, 0, 220);
const QColor kHoverBackground(0, 200, 0);
const QPoint kAway(390, 190); // a place of the owner where no button is

QIcon solidIcon(const QColor& color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(color);
  return QIcon(pixmap);
}

QColor pixel(QWidget& widget, QPoint at) {
  return widget.grab().toImage().pixelColor(at);
}

// Columns (or rows) of the button's middle line that show the colour.
QList<int> spanOf(QWidget& widget, const QColor& color, Qt::Orientation along) {
  const QImage image = widget.grab().toImage();
  QList<int> hits;
  const int length = along == Qt::Horizontal ? image.width() : image.height();
  for (int i = 0; i < length; ++i) {
    const QPoint at =
        along == Qt::Horizontal ? QPoint(i, image.height() / 2) : QPoint(image.width() / 2, i);
    if (image.pixelColor(at) == color)
      hits.append(i);
  }
  return hits;
}

// Receives the addresses the buttons open instead of the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT
public:
  QList<QUrl> opened;
public slots:
  void open(const QUrl& url) { opened.append(url); }
};

} // namespace

class TestButtonST : public QObject {
  Q_OBJECT

  QWidget* owner = nullptr;

  CButtonST* makeButton(QRect geometry = QRect(10, 10, 60, 40)) {
    auto* button = new CButtonST(owner);
    button->setGeometry(geometry);
    button->AssignIcons(solidIcon(kHoverRed), solidIcon(kNormalBlue));
    button->SetStateColor(CButtonST::HoverBackground, kHoverBackground);
    button->show();
    return button;
  }

private slots:
  void init() {
    owner = new QWidget;
    owner->resize(400, 200);
    owner->show();
    owner->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(owner));
    QTest::mouseMove(owner, kAway);
  }

  void cleanup() {
    delete owner;
    owner = nullptr;
  }

  void pictureFollowsHoverPressAndCheckMark() {
    CButtonST* push = makeButton();
    const QPoint middle(30, 20);
    QCOMPARE(pixel(*push, middle), kNormalBlue);
    QTest::mouseMove(push);
    QVERIFY(push->isHovered());
    QCOMPARE(pixel(*push, middle), kHoverRed);
    // Pressed, the hover picture moves down and right by one pixel.
    push->setDown(true);
    const QList<int> pressed = spanOf(*push, kHoverRed, Qt::Horizontal);
    push->setDown(false);
    const QList<int> hovered = spanOf(*push, kHoverRed, Qt::Horizontal);
    QCOMPARE(pressed.first(), hovered.first() + 1);

    // A check-box button without its check mark keeps the normal picture under the pointer.
    CButtonST* box = makeButton(QRect(100, 10, 60, 40));
    box->setCheckable(true);
    QTest::mouseMove(box);
    QVERIFY(box->isHovered());
    QCOMPARE(pixel(*box, middle), kNormalBlue);
    box->SetCheckState(true);
    QCOMPARE(pixel(*box, middle), kHoverRed);
    QCOMPARE(spanOf(*box, kHoverRed, Qt::Horizontal).first(), 22); // not shifted

    // Without a normal picture the hover one shows in every state.
    CButtonST* single = makeButton(QRect(200, 10, 60, 40));
    single->AssignIcons(solidIcon(kHoverRed));
    QCOMPARE(pixel(*single, middle), kHoverRed);
  }

  void bitmapsLeaveOutTheirTransparentColour() {
    CButtonST* button = makeButton();
    QPixmap bitmap(16, 16);
    bitmap.fill(Qt::magenta);
    {
      QPainter painter(&bitmap);
      painter.fillRect(0, 0, 16, 8, kNormalBlue);
    }
    QCOMPARE(button->AssignBitmaps(bitmap, Qt::magenta), CButtonST::BitmapOk);
    const QColor face = button->getStateColor(CButtonST::NormalBackground);
    QCOMPARE(pixel(*button, QPoint(30, 14)), kNormalBlue);
    QCOMPARE(pixel(*button, QPoint(30, 24)), face);
    // Bitmaps keep their colours when disabled.
    button->setEnabled(false);
    QCOMPARE(pixel(*button, QPoint(30, 14)), kNormalBlue);

    // A bitmap without a size is refused and the pictures stay.
    QCOMPARE(button->AssignBitmaps(QPixmap(), Qt::magenta), CButtonST::BitmapNoSize);
    QCOMPARE(button->AssignBitmaps(bitmap, Qt::magenta, QPixmap(), Qt::magenta),
             CButtonST::BitmapOk);
    QCOMPARE(pixel(*button, QPoint(30, 14)), kNormalBlue);
  }

  void hoverStartsTheOwnersTimerOnlyForFlatButtonsWithoutADrag() {
    CButtonST* flat = makeButton();
    QSignalSpy spoken(flat, &CButtonST::hoverTimeout);
    QTest::mouseMove(flat);
    QTest::qWait(250);
    QCOMPARE(spoken.size(), 0); // not before 400 ms
    QVERIFY(spoken.wait(2000));
    QCOMPARE(spoken.first().first().value<CButtonST*>(), flat);

    // Leaving in time stops the timer.
    QTest::mouseMove(owner, kAway);
    QVERIFY(!flat->isHovered());
    QTest::mouseMove(flat);
    QTest::mouseMove(owner, kAway);
    QVERIFY(!spoken.wait(700));

    // A drag that started elsewhere does not light the button up.
    CButtonST* dragged = makeButton(QRect(100, 10, 60, 40));
    QMouseEvent drag(QEvent::MouseMove, QPointF(5, 5), dragged->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dragged, &drag);
    QVERIFY(!dragged->isHovered());

    CButtonST* classic = makeButton(QRect(200, 10, 60, 40));
    classic->SetFlatLook(false);
    QSignalSpy classicSpoken(classic, &CButtonST::hoverTimeout);
    QTest::mouseMove(classic);
    QVERIFY(!classic->isHovered());
    QVERIFY(!classicSpoken.wait(700));
  }

  void hoverEndsOnFocusLossDeactivationAndDisable() {
    CButtonST* button = makeButton();
    CButtonST* next = makeButton(QRect(100, 10, 60, 40));
    button->setFocus();
    QTest::mouseMove(button);
    QVERIFY(button->isHovered());
    next->setFocus();
    QVERIFY(!button->isHovered());

    QTest::mouseMove(button, QPoint(5, 5));
    QVERIFY(button->isHovered());
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!button->isHovered());

    owner->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(owner));
    QTest::mouseMove(button, QPoint(8, 8));
    QVERIFY(button->isHovered());
    button->setEnabled(false);
    QVERIFY(!button->isHovered());
  }

  void disablingPassesTheFocusOnOrToTheOwner() {
    CButtonST* first = makeButton();
    CButtonST* second = makeButton(QRect(100, 10, 60, 40));
    first->setFocus();
    first->setEnabled(false);
    QVERIFY(second->hasFocus());
    second->setEnabled(false);
    QVERIFY(owner->hasFocus());

    // Disabling a button that has no focus leaves the focus where the user put it.
    CButtonST* third = makeButton(QRect(200, 10, 60, 40));
    third->setFocus();
    CButtonST* idle = makeButton(QRect(300, 10, 60, 40));
    idle->setEnabled(false);
    QVERIFY(third->hasFocus());

    // Icons are greyed when disabled.
    QVERIFY(pixel(*idle, QPoint(30, 20)) != kNormalBlue);
  }

  void menuOpensAtTheLowerLeftCornerAndKeepsTheButtonPressed() {
    CButtonST* button = makeButton();
    auto* menu = new QMenu;
    menu->addAction(QStringLiteral("Silent"));
    button->AttachMenu(menu);
    const QPoint edge(2, 20);
    QCOMPARE(pixel(*button, edge), button->getStateColor(CButtonST::NormalBackground));

    QTimer::singleShot(100, menu, [&] {
      QVERIFY(menu->isVisible());
      QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(0, button->height())));
      QCOMPARE(pixel(*button, edge), kHoverBackground);
      menu->close();
    });
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(!menu->isVisible());
    QTest::mouseMove(owner, kAway);
    QCOMPARE(pixel(*button, edge), button->getStateColor(CButtonST::NormalBackground));

    // A new menu replaces and deletes the old one; null removes it.
    QPointer<QMenu> old = menu;
    button->AttachMenu(new QMenu);
    QVERIFY(old.isNull());
    button->AttachMenu(nullptr);
    QCOMPARE(button->attachedMenu(), nullptr);
  }

  void linkOpensOnClickUnlessAMenuIsAttached() {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    CButtonST* button = makeButton();
    button->SetLink(QStringLiteral("https://example.org/class"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/class"))});

    // Long addresses are kept whole: a cut one would open the wrong page.
    const QUrl longUrl(QStringLiteral("https://example.org/") + QString(300, u'a'));
    button->SetLink(longUrl.toString());
    button->click();
    QCOMPARE(catcher.opened.last(), longUrl);

    button->AttachMenu(new QMenu);
    button->click();
    button->attachedMenu()->close();
    QCOMPARE(catcher.opened.size(), 2);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
  }

  void colourTableRefusesIndexesOutsideIt() {
    CButtonST* button = makeButton();
    QCOMPARE(button->SetStateColor(6, Qt::yellow), CButtonST::kStateColorRefused);
    QCOMPARE(button->SetStateColor(-1, Qt::yellow), CButtonST::kStateColorRefused);
  }

  void screenReadersSeeNameRoleAndState() {
    CButtonST* button = makeButton();
    button->SetHoverTip(QStringLiteral("Shows your files"));
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("Shows your files"));
    button->setText(QStringLiteral("My &Files && Folders"));
    QCOMPARE(face->text(QAccessible::Name), QStringLiteral("My Files & Folders"));
    QCOMPARE(face->text(QAccessible::Description), QStringLiteral("Shows your files"));

    button->setCheckable(true);
    QCOMPARE(face->role(), QAccessible::CheckBox);
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(face->state().checked);
    button->setEnabled(false);
    QVERIFY(face->state().disabled);
    face->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(button->getCheck());
  }
};

QTEST_MAIN(TestButtonST)
#include "tst_buttonst.moc"
