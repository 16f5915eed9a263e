#pragma once

#include "core/SiteList.h"

namespace site_list {

// The field's text, for the fields kept as text; the fingerprint is not one of them.
template <class Entry> auto* textField(Entry& e, SiteList::Field f) {
    switch (f) {
    case SiteList::Field::Url:
        return &e.url;
    case SiteList::Field::Res:
        return &e.res;
    case SiteList::Field::RDateTime:
        return &e.rdatetime;
    case SiteList::Field::Descrizione:
        return &e.descrizione;
    case SiteList::Field::Nick:
        return &e.nick;
    case SiteList::Field::Crc:
        break;
    }
    return decltype(&e.url){};
}

} // namespace site_list
