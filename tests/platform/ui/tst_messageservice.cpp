#include "platform/ui/messagerecorder.h"
#include "platform/ui/messageservice.h"

#include <QApplication>
#include <QTest>

using namespace dh::ui;

class TestMessageService : public QObject {
  Q_OBJECT

private slots:
  void recorderCapturesBoxesAndAnswersFromItsScript() {
    MessageRecorder recorder;
    recorder.answerNext(Answer::Yes);
    beep();
    QCOMPARE(showMessage(nullptr, QStringLiteral("Replace it?\nThe old file is lost."),
                         QStringLiteral("File Problem"), Icon::Question, Buttons::YesNo),
             Answer::Yes);
    // An unscripted box gets the answer that changes least.
    QCOMPARE(showMessage(nullptr, QStringLiteral("Delete?"), QStringLiteral("Renaming"),
                         Icon::Warning, Buttons::YesNoCancel),
             Answer::Cancel);
    QCOMPARE(
        showMessage(nullptr, QStringLiteral("x"), QStringLiteral("y"), Icon::Error, Buttons::YesNo),
        Answer::No);
    QCOMPARE(showMessage(nullptr, QStringLiteral("x"), QStringLiteral("Fatal Error")), Answer::Ok);

    QCOMPARE(recorder.boxes().size(), 4);
    const MessageBox& first = recorder.boxes().first();
    QCOMPARE(first.text, QStringLiteral("Replace it?\nThe old file is lost."));
    QCOMPARE(first.title, QStringLiteral("File Problem"));
    QCOMPARE(first.icon, Icon::Question);
    QCOMPARE(first.buttons, Buttons::YesNo);
    QCOMPARE(recorder.boxes().last().icon, Icon::None);
    QCOMPARE(recorder.beeps(), 1);
    QCOMPARE(recorder.events(),
             (QStringList{"beep", "File Problem", "Renaming", "y", "Fatal Error"}));
    // A recorder inside another puts the outer one back when it goes.
    {
      MessageRecorder inner;
      beep();
      QCOMPARE(inner.beeps(), 1);
    }
    beep();
    QCOMPARE(recorder.beeps(), 2);
  }
};

QTEST_MAIN(TestMessageService)
#include "tst_messageservice.moc"
