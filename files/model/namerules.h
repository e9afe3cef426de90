// The rules a new folder name or a new item name must keep: the characters a name may not
// hold, the length allowed while it is typed and when it is given, and names already taken.
// Widget-free, so the two name dialogs only show what these decide.
#pragma once

#include <QString>

#include <optional>

namespace dh::files {

// The most characters the edit box of either name dialog holds.
inline constexpr int kTypedNameLimit = 50;

// What a name dialog tells the pupil: text and title of the box.
struct NameMessage {
  QString text;
  QString title;
};

// The check made on every change of an edit box. With a character that may not be typed,
// that one character is taken out (the first of the forbidden list that occurs, at its
// first place); otherwise a text over the limit is cut to it. text is changed in place.
std::optional<NameMessage> typedNameProblem(QString& text);

// The problems a name given with OK may have. Each returns the message for it, or nothing
// when the name may be used. A name that is hidden here (one beginning with ".") is invalid
// as well, since the pupil would never see the item again.
std::optional<NameMessage> folderNameProblem(const QString& name, const QString& folder);
// newName is the typed text with the extension kept.
std::optional<NameMessage> itemNameProblem(const QString& newName, const QString& folder);

// An item name split at its first ".": the part the pupil edits, and the rest kept as it
// is ("report.final.doc" gives "report" and ".final.doc").
struct SplitName {
  QString base;
  QString extension;
};
SplitName splitAtFirstDot(const QString& name);

// Whether an entry of folder has name, without regard to case.
bool folderHoldsName(const QString& folder, const QString& name);

} // namespace dh::files
