#pragma once

#include "store/SiteImport.h"

#include <QByteArrayView>

// Reads the bookmark file every browser exports (Netscape bookmark HTML), in one pass over its tags: each link
// is a site named by its text, described by its <DD> line or else by its folder path; the folders (<H3> and
// the <DL> list after it) are reported so that one can be chosen.
ImportRead readBookmarks(QByteArrayView html);
