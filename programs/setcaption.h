// The caption and tool tip of a set button, from the set's name.
#pragma once

#include <QString>

namespace dh::programs {

// The name with every "&" doubled, so that it shows as written; cut to its first 27
// characters and "..." when that is longer than 30.
QString setButtonCaption(const QString& name);
// The doubled name uncut, each doubled ampersand said as "+&".
QString setButtonTip(const QString& name);

} // namespace dh::programs
