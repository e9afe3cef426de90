// The caption of a side-panel slot: a display name made safe for a button caption and
// shortened so that long words and long names fit under the slot's picture.
#pragma once

#include <QString>

namespace dh {

// Shortens every word of more than 10 characters to its first 7 and "..."; a name that
// had more than two such words followed by a blank is cut to its first 33 characters.
// A word ends at a blank or at the text's last character, which is not counted and is
// dropped when that word is shortened. Characters as a reader sees them are counted, not
// bytes or code units, so a name is never cut inside a letter or an emoji.
QString shortenCaption(const QString& caption);

// The caption of a slot: every "&" doubled, so that no letter becomes a keyboard
// mnemonic and the ampersand stays visible, then shortened.
QString slotCaption(const QString& displayName);

} // namespace dh
