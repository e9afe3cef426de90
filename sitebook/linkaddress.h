// The address a link or the start page names, as the browser opens it. Administrators
// write web addresses with or without their scheme and local pages as paths.
#pragma once

#include <QString>
#include <QUrl>

namespace dh::sitebook {

// An address with a scheme ("https:", "file:", "about:") is taken as written; a path is
// a local file, as is a name of an existing file in folder; anything else is the web
// address meant without its scheme ("www.example.org" is https://www.example.org).
// Nothing (an empty address) stays empty.
QUrl linkAddress(const QString& address, const QString& folder);

// Where a web address written without its scheme goes when it cannot be reached over
// https: the same address over http. Nothing for any other address.
QUrl plainLinkAddress(const QString& address, const QString& folder);

} // namespace dh::sitebook
