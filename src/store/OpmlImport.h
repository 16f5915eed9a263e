#pragma once

#include "store/SiteImport.h"

#include <QByteArrayView>

// Reads an OPML file (a feed reader's export): every outline with an htmlUrl (the site) or else an xmlUrl
// (the feed) is a site named by its title or text; outlines holding others are folders, whose path is the
// description of a site without its own. DTD entities are never expanded.
ImportRead readOpml(QByteArrayView utf8);
