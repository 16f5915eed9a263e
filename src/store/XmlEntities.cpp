#include "store/XmlEntities.h"

#include <QLatin1StringView>

namespace {

bool startsWithAsciiCi(const QChar* at, const QChar* end, QLatin1StringView pattern) {
    if (end - at < pattern.size())
        return false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        char16_t c = at[i].unicode();
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c + (u'a' - u'A'));
        if (c != char16_t(pattern[i].unicode()))
            return false;
    }
    return true;
}

// One pass of a sequence: earlier passes must not feed later ones beyond what the order intends.
void replaceReference(QString& text, QLatin1StringView reference, QChar replacement) {
    if (!text.contains(u'&'))
        return;
    QString out;
    out.reserve(text.size());
    const QChar* p = text.constData();
    const QChar* end = p + text.size();
    bool changed = false;
    while (p < end) {
        if (*p == u'&' && startsWithAsciiCi(p, end, reference)) {
            out += replacement;
            p += reference.size();
            changed = true;
        } else {
            out += *p++;
        }
    }
    if (changed)
        text = std::move(out);
}

} // namespace

QString XMLEntityEncode(const QString& text) {
    qsizetype extra = 0;
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            extra += 4;
            break;
        case u'<':
        case u'>':
            extra += 3;
            break;
        case u'"':
        case u'\'':
            extra += 5;
            break;
        default:
            break;
        }
    }
    if (extra == 0)
        return text;
    QString out;
    out.reserve(text.size() + extra);
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QLatin1StringView("&amp;");
            break;
        case u'<':
            out += QLatin1StringView("&lt;");
            break;
        case u'>':
            out += QLatin1StringView("&gt;");
            break;
        case u'"':
            out += QLatin1StringView("&quot;");
            break;
        case u'\'':
            out += QLatin1StringView("&apos;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString XMLEntityDecode(const QString& text) {
    if (!text.contains(u'&'))
        return text;
    QString out = text;
    replaceReference(out, QLatin1StringView("&apos;"), u'\'');
    replaceReference(out, QLatin1StringView("&quot;"), u'"');
    replaceReference(out, QLatin1StringView("&gt;"), u'>');
    replaceReference(out, QLatin1StringView("&lt;"), u'<');
    replaceReference(out, QLatin1StringView("&amp;"), u'&');
    return out;
}
