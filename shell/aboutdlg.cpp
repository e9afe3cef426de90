#include "shell/aboutdlg.h"

#include "common/settings.h"
#include "platform/agent/character.h"
#include "platform/agent/characterserver.h"
#include "platform/ui/controlid.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <espeak-ng/speak_lib.h>

namespace dh::shell {

namespace {

// The name of the character the helpers load, asked of the process's character server
// so that a character already on screen is not read again.
QString installedCharacterName() {
  auto* server = agent::CharacterServer::instance();
  if (!server)
    return {};
  int id = 0;
  server->load(QString::fromStdString(readSetting(setting::kAgentPath)), &id);
  const agent::Character* character = server->character(id);
  const QString name = character ? character->data().name() : QString();
  if (id != 0)
    server->unload(id);
  return name;
}

} // namespace

QString engineLine(const QString& characterName, const QString& speechVersion) {
  const QString engine = QStringLiteral("the espeak-ng %1 speech engine").arg(speechVersion);
  if (characterName.isEmpty())
    return QStringLiteral("Includes %1").arg(engine);
  return QStringLiteral("Includes the character %1 and %2").arg(characterName, engine);
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Deskhaven 2"));
  ui::setControlId(this, 100);

  auto* icon = new QLabel(this);
  ui::setControlId(icon, 131);
  icon->setPixmap(QIcon(QStringLiteral(":/shell/deskhaven.svg")).pixmap(32, 32));
  auto* version = new QLabel(QStringLiteral("Deskhaven 2 Version 3.29.0.0"), this);
  auto* engine = new QLabel(
      engineLine(installedCharacterName(), QString::fromLatin1(espeak_Info(nullptr))), this);
  engine->setObjectName(QStringLiteral("engineLine"));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ui::setControlId(ok, 1);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* lines = new QVBoxLayout;
  lines->addWidget(version);
  lines->addWidget(engine);
  auto* body = new QHBoxLayout;
  body->addWidget(icon, 0, Qt::AlignTop);
  body->addSpacing(12);
  body->addLayout(lines, 1);
  body->addSpacing(12);
  body->addWidget(ok, 0, Qt::AlignTop);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(16, 16, 16, 16);
  layout->addLayout(body);
  setFixedSize(sizeHint());
}

} // namespace dh::shell
