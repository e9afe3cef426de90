#include "common/settings.h"
#include "tests/support/testhives.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/stat.h>

using namespace dh;
using reg::Root;

namespace {
const char* const kSettings = "Software\\Halvane\\Deskhaven\\Settings";
const char* const kPolicy = "Software\\Policies\\Halvane\\Network Management\\UserTypeIndicator";

void touch(const QString& path) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
}
} // namespace

class TestSettings : public QObject {
  Q_OBJECT

private slots:
  void valuesAndTheUserTypePicture();
};

void TestSettings::valuesAndTheUserTypePicture() {
  TestHives hives;
  QCOMPARE(readSetting(setting::kHelpPath), std::string());
  hives.setText(Root::LocalMachine, kSettings, "HelpPath", std::string(259, 'h'));
  QCOMPARE(readSetting(setting::kHelpPath).size(), std::size_t(259));
  hives.setText(Root::LocalMachine, kSettings, "HelpPath", std::string(260, 'h'));
  QCOMPARE(readSetting(setting::kHelpPath), std::string());
  hives.setText(Root::LocalMachine, kSettings, "PrintFileTypes", std::string(499, 'p'));
  QCOMPARE(readSetting(setting::kPrintFileTypes).size(), std::size_t(499));
  hives.setText(Root::LocalMachine, kSettings, "msAgent Path", std::string(2000, 'a'));
  QCOMPARE(readSetting(setting::kAgentPath).size(), std::size_t(2000));
  hives.setText(Root::LocalMachine, kSettings, "Default Pictures", "/pics");
  QCOMPARE(GetDefaultPicturesFolder(), std::string("/pics"));

  QCOMPARE(joinPath("/pics", "a.bmp"), std::string("/pics/a.bmp"));
  QCOMPARE(joinPath("/pics/", "a.bmp"), std::string("/pics/a.bmp"));
  QCOMPARE(joinPath("//server/share/pics", "a.bmp"), std::string("//server/share/pics/a.bmp"));

  // The user type's picture: the user folder first, then the default one.
  hives.removeTree(Root::LocalMachine, kSettings);
  const std::string user = (hives.dir() + "/user").toStdString();
  const std::string def = (hives.dir() + "/default").toStdString();
  touch(QString::fromStdString(def + "/Teacher.bmp"));

  QCOMPARE(GetUserTypePicturePath(), std::string()); // no policy value
  hives.setText(Root::CurrentUser, kPolicy, "InfoTip", "Teacher");
  QCOMPARE(GetUserTypePicturePath(), std::string()); // no settings key
  hives.setText(Root::LocalMachine, kSettings, "Default Pictures", def);
  QCOMPARE(GetUserTypePicturePath(), def + "/Teacher.bmp"); // user folder missing

  hives.setText(Root::LocalMachine, kSettings, "User Defined Pictures", user);
  QCOMPARE(GetUserTypePicturePath(), def + "/Teacher.bmp"); // not in the user folder
  touch(QString::fromStdString(user + "/Teacher.bmp"));
  QCOMPARE(GetUserTypePicturePath(), user + "/Teacher.bmp");
  hives.setText(Root::LocalMachine, kSettings, "User Defined Pictures", user + "/");
  QCOMPARE(GetUserTypePicturePath(), user + "/Teacher.bmp");

  // An empty user folder switches the indicator off, default folder or not.
  hives.setText(Root::LocalMachine, kSettings, "User Defined Pictures", "");
  QCOMPARE(GetUserTypePicturePath(), std::string());
  hives.setText(Root::CurrentUser, kPolicy, "InfoTip", "");
  hives.removeValue(Root::LocalMachine, kSettings, "User Defined Pictures");
  QCOMPARE(GetUserTypePicturePath(), std::string());

  // A picture the user may not read is not offered.
  hives.setText(Root::CurrentUser, kPolicy, "InfoTip", "Teacher");
  hives.shareReadOnly();
  QVERIFY(::chmod((def + "/Teacher.bmp").c_str(), 0600) == 0);
  QCOMPARE(runUnprivileged([] { return GetUserTypePicturePath().empty() ? 0 : 1; }), 0);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
