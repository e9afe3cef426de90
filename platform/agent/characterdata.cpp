#include "platform/agent/characterdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QTextStream>

namespace dh::agent {

namespace {

constexpr int kMaxFrameSide = 1024;
constexpr int kMaxFrameMs = 60000;

QString lineError(int line, const QString& what) {
  return QStringLiteral("line %1: %2").arg(line).arg(what);
}

bool parseBool(const QString& text, bool& out) {
  const QString t = text.toLower();
  if (t == "yes" || t == "true" || t == "1")
    out = true;
  else if (t == "no" || t == "false" || t == "0")
    out = false;
  else
    return false;
  return true;
}

} // namespace

// Reads the descriptor line by line; the first fault ends the reading.
class DescriptorReader {
public:
  DescriptorReader(CharacterData& data, const QDir& folder) : data_(data), folder_(folder) {}

  bool read(QTextStream& in, QString& error) {
    int number = 0;
    while (!in.atEnd()) {
      ++number;
      const QString line = in.readLine().trimmed();
      if (line.isEmpty() || line.startsWith('#') || line.startsWith(';'))
        continue;
      if (!(line.startsWith('[') ? section(line) : entry(line))) {
        error = lineError(number, error_);
        return false;
      }
    }
    return finish(error);
  }

private:
  bool fail(const QString& what) {
    error_ = what;
    return false;
  }

  bool section(const QString& line) {
    static const QRegularExpression animationHeader(R"(^\[Animation\s+(\S+)\]$)",
                                                    QRegularExpression::CaseInsensitiveOption);
    if (line.compare("[Character]", Qt::CaseInsensitive) == 0) {
      current_ = -1;
      inCharacter_ = seenCharacter_ = true;
      return true;
    }
    const auto match = animationHeader.match(line);
    if (!match.hasMatch())
      return fail(QStringLiteral("unknown section %1").arg(line));
    if (data_.animation(match.captured(1)))
      return fail(QStringLiteral("animation %1 is defined twice").arg(match.captured(1)));
    inCharacter_ = false;
    data_.animations_.append(Animation{match.captured(1), {}, 100, false});
    current_ = data_.animations_.size() - 1;
    return true;
  }

  bool entry(const QString& line) {
    const qsizetype eq = line.indexOf('=');
    if (eq <= 0)
      return fail(QStringLiteral("expected name=value, found \"%1\"").arg(line));
    const QString key = line.left(eq).trimmed().toLower();
    const QString value = line.mid(eq + 1).trimmed();
    if (inCharacter_)
      return characterEntry(key, value);
    if (current_ >= 0)
      return animationEntry(key, value, data_.animations_[current_]);
    return fail(QStringLiteral("\"%1\" is outside any section").arg(line));
  }

  bool characterEntry(const QString& key, const QString& value) {
    if (key == "name") {
      data_.name_ = value;
    } else if (key == "framesize") {
      static const QRegularExpression size(R"(^(\d{1,4})\s*x\s*(\d{1,4})$)");
      const auto m = size.match(value);
      const int w = m.captured(1).toInt(), h = m.captured(2).toInt();
      if (!m.hasMatch() || w < 1 || h < 1 || w > kMaxFrameSide || h > kMaxFrameSide)
        return fail(QStringLiteral("FrameSize must be WIDTHxHEIGHT, found \"%1\"").arg(value));
      data_.frameSize_ = QSize(w, h);
    } else if (key == "showing") {
      data_.showing_ = value;
    } else if (key == "hiding") {
      data_.hiding_ = value;
    } else if (key == "speaking") {
      data_.speaking_ = value;
    } else if (key == "idle") {
      data_.idle_ = value;
    } else {
      return fail(QStringLiteral("unknown setting %1").arg(key));
    }
    return true;
  }

  bool animationEntry(const QString& key, const QString& value, Animation& animation) {
    if (key == "frames") {
      framesLine_[animation.name] = value;
    } else if (key == "frameduration") {
      bool ok = false;
      animation.frameMs = value.toInt(&ok);
      if (!ok || animation.frameMs < 1 || animation.frameMs > kMaxFrameMs)
        return fail(QStringLiteral("FrameDuration must be 1 to %1 ms").arg(kMaxFrameMs));
    } else if (key == "loop") {
      if (!parseBool(value, animation.loops))
        return fail(QStringLiteral("Loop must be yes or no, found \"%1\"").arg(value));
    } else {
      return fail(QStringLiteral("unknown setting %1").arg(key));
    }
    return true;
  }

  // Frames are loaded once the whole descriptor is known to be sound.
  bool finish(QString& error) {
    if (!seenCharacter_ || data_.frameSize_.isEmpty()) {
      error = QStringLiteral("the [Character] section with a FrameSize is missing");
      return false;
    }
    for (const QString& role : {data_.showing_, data_.hiding_, data_.speaking_, data_.idle_}) {
      if (!role.isEmpty() && !data_.animation(role)) {
        error = QStringLiteral("the character names animation %1 but defines none").arg(role);
        return false;
      }
    }
    if (data_.animations_.isEmpty()) {
      error = QStringLiteral("the character has no animations");
      return false;
    }
    for (Animation& animation : data_.animations_) {
      if (!loadFrames(animation, error))
        return false;
    }
    return true;
  }

  bool loadFrames(Animation& animation, QString& error) {
    const QStringList files = framesLine_.value(animation.name).split(',', Qt::SkipEmptyParts);
    if (files.isEmpty()) {
      error = QStringLiteral("animation %1 has no frames").arg(animation.name);
      return false;
    }
    for (const QString& file : files) {
      const QString path = folder_.filePath(file.trimmed());
      QImageReader reader(path);
      QImage frame = reader.read();
      if (frame.isNull()) {
        error = QStringLiteral("frame %1 of animation %2 cannot be read: %3")
                    .arg(file.trimmed(), animation.name, reader.errorString());
        return false;
      }
      if (frame.size() != data_.frameSize_) {
        error = QStringLiteral("frame %1 is %2x%3, the character's frames are %4x%5")
                    .arg(file.trimmed())
                    .arg(frame.width())
                    .arg(frame.height())
                    .arg(data_.frameSize_.width())
                    .arg(data_.frameSize_.height());
        return false;
      }
      animation.frames.append(frame.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return true;
  }

  CharacterData& data_;
  QDir folder_;
  qsizetype current_ = -1; // index of the animation being read
  bool inCharacter_ = false;
  bool seenCharacter_ = false;
  QHash<QString, QString> framesLine_;
  QString error_;
};

std::optional<CharacterData> CharacterData::load(const QString& path, QString* error) {
  QString why;
  auto failed = [&](const QString& what) -> std::optional<CharacterData> {
    if (error)
      *error = what;
    return std::nullopt;
  };
  if (path.isEmpty())
    return failed(QStringLiteral("no character is named"));
  QFileInfo info(path);
  if (info.isDir())
    info = QFileInfo(QDir(path).filePath(kDescriptorName));
  QFile file(info.absoluteFilePath());
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
    return failed(QStringLiteral("%1: %2").arg(info.absoluteFilePath(), file.errorString()));

  CharacterData data;
  data.descriptorPath_ = info.canonicalFilePath();
  QTextStream in(&file);
  DescriptorReader reader(data, info.absoluteDir());
  if (!reader.read(in, why))
    return failed(QStringLiteral("%1: %2").arg(info.absoluteFilePath(), why));
  return data;
}

const Animation* CharacterData::animation(const QString& name) const {
  for (const Animation& a : animations_) {
    if (a.name.compare(name, Qt::CaseInsensitive) == 0)
      return &a;
  }
  return nullptr;
}

QImage CharacterData::restingFrame() const {
  const Animation* idle = animation(idle_);
  return (idle ? idle : &animations_.first())->frames.first();
}

} // namespace dh::agent
