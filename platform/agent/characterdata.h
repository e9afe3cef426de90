// A character as read from its folder: the descriptor file and every animation's frames.
// The format is described in docs/character-format.md.
#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <optional>

namespace dh::agent {

struct Animation {
  QString name;
  QList<QImage> frames;
  int frameMs = 100;
  bool loops = false;
};

class CharacterData {
public:
  static constexpr const char* kDescriptorName = "character.ini";

  // Reads a character from its folder or its descriptor file. On failure returns nothing
  // and, when error is given, says what is wrong (with the line for descriptor faults).
  static std::optional<CharacterData> load(const QString& path, QString* error = nullptr);

  QString name() const { return name_; }
  QSize frameSize() const { return frameSize_; }
  // The descriptor's absolute path; characters loaded twice are recognised by it.
  QString descriptorPath() const { return descriptorPath_; }
  // Animation names compare without regard to case; null when there is none.
  const Animation* animation(const QString& name) const;

  // The animations that the engine plays by itself; any of them may be absent.
  const Animation* showing() const { return animation(showing_); }
  const Animation* hiding() const { return animation(hiding_); }
  const Animation* speaking() const { return animation(speaking_); }
  // The frame shown while nothing plays: the first frame of the idle animation.
  QImage restingFrame() const;

private:
  friend class DescriptorReader;
  QString name_;
  QString descriptorPath_;
  QSize frameSize_;
  QString showing_, hiding_, speaking_, idle_;
  QList<Animation> animations_;
};

} // namespace dh::agent
