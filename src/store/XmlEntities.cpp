#include "store/XmlEntities.h"

#include <QLatin1StringView>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

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

// True when a character reference to U+0000 or beyond U+10FFFF starts at i.
bool badReferenceAt(std::string_view v, size_t i) {
    if (++i >= v.size() || v[i] != '#')
        return false;
    const bool hex = ++i < v.size() && v[i] == 'x';
    char32_t value = 0;
    size_t digits = 0;
    for (i += hex ? 1 : 0; i < v.size(); ++i, ++digits) {
        const char c = v[i];
        const char lower = char(c | 0x20);
        const int d = c >= '0' && c <= '9' ? c - '0' : hex && lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
        if (d < 0)
            break;
        value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(d), 0x110000);
    }
    return digits > 0 && i < v.size() && v[i] == ';' && (value == 0 || value > 0x10FFFF);
}

size_t skipPast(std::string_view v, size_t from, std::string_view close) {
    const size_t at = v.find(close, from);
    return at == std::string_view::npos ? at : at + close.size();
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

qsizetype firstNonXmlByte(QByteArrayView bytes) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* start = p;
    const unsigned char* end = p + bytes.size();
    while (p < end) {
        // Eight printable ASCII bytes at a time: none with its high bit set, none below 0x20.
        if (end - p >= 8) {
            std::uint64_t x = 0;
            std::memcpy(&x, p, 8);
            constexpr std::uint64_t high = 0x8080808080808080u;
            if ((x & high) == 0 && (((x | high) - 0x2020202020202020u) & high) == high) {
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                break;
            ++p;
            continue;
        }
        char32_t cp = 0;
        int len = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            cp = c & 0x1F;
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            cp = c & 0x0F;
            len = 3;
        } else if (c >= 0xF0 && c <= 0xF4) {
            cp = c & 0x07;
            len = 4;
        } else {
            break;
        }
        if (end - p < len)
            break;
        bool ok = true;
        for (int i = 1; i < len; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (!ok)
            break;
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
            break;
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF)
            break;
        p += len;
    }
    return p == end ? -1 : p - start;
}

qsizetype firstNonXmlChar(const QString& text) {
    const qsizetype n = text.size();
    const char16_t* s = reinterpret_cast<const char16_t*>(text.constData());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x20) {
            if (c != u'\t' && c != u'\n' && c != u'\r')
                return i;
        } else if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= n || s[i + 1] < 0xDC00 || s[i + 1] > 0xDFFF)
                return i;
            ++i;
        } else if ((c >= 0xDC00 && c <= 0xDFFF) || c == 0xFFFE || c == 0xFFFF) {
            return i;
        }
    }
    return -1;
}

// Follows the parser's reading: references count in text and in quoted attribute values, not in comments,
// CDATA sections or processing instructions (the parser lets '<' stand in an attribute value, so quotes
// must be followed too).
qsizetype firstBadCharReference(QByteArrayView bytes) {
    const std::string_view v(bytes.data(), size_t(bytes.size()));
    // Whether any of the eight bytes is c.
    const auto holds = [](std::uint64_t x, unsigned char c) {
        const std::uint64_t y = x ^ (0x0101010101010101u * c);
        return ((y - 0x0101010101010101u) & ~y & 0x8080808080808080u) != 0;
    };
    for (size_t i = 0; i < v.size();) {
        if (v[i] != '<' && v[i] != '&') {
            ++i;
            for (std::uint64_t x = 0;
                 i + 8 <= v.size() && (std::memcpy(&x, v.data() + i, 8), !holds(x, '<')) && !holds(x, '&');)
                i += 8;
            continue;
        }
        const std::string_view rest = v.substr(i);
        if (rest[0] == '&') {
            if (badReferenceAt(v, i))
                return qsizetype(i);
            ++i;
        } else if (rest.starts_with("<!--")) {
            i = skipPast(v, i + 4, "-->");
        } else if (rest.starts_with("<![CDATA[")) {
            i = skipPast(v, i + 9, "]]>");
        } else if (rest.starts_with("<?")) {
            i = skipPast(v, i + 2, "?>");
        } else {
            for (++i; i < v.size() && v[i] != '>'; ++i) {
                if (v[i] != '"' && v[i] != '\'')
                    continue;
                const size_t close = std::min(v.find(v[i], i + 1), v.size());
                for (size_t a = i + 1; a < close; ++a) {
                    if (v[a] == '&' && badReferenceAt(v, a))
                        return qsizetype(a);
                }
                i = close;
            }
        }
    }
    return -1;
}

qsizetype elementEnd(QByteArrayView s, qsizetype from) {
    const auto past = [&s](QByteArrayView what, qsizetype at) -> qsizetype {
        const qsizetype found = s.indexOf(what, at);
        return found < 0 ? -1 : found + what.size();
    };
    int depth = 0;
    qsizetype i = from;
    while (i >= 0 && i < s.size()) {
        const QByteArrayView rest = s.sliced(i);
        if (rest.startsWith("<!--")) {
            i = past("-->", i + 4);
        } else if (rest.startsWith("<![CDATA[")) {
            i = past("]]>", i + 9);
        } else if (rest.startsWith("<?")) {
            i = past("?>", i + 2);
        } else if (rest.startsWith("</")) {
            i = past(">", i);
            if (--depth == 0)
                return i;
        } else {
            char quote = 0;
            qsizetype j = i + 1;
            for (; j < s.size() && (quote || s[j] != '>'); ++j) {
                if (quote ? s[j] == quote : s[j] == '"' || s[j] == '\'')
                    quote = quote ? 0 : s[j];
            }
            if (j >= s.size())
                return -1;
            i = j + 1;
            if (s[j - 1] != '/')
                ++depth;
            else if (depth == 0)
                return i;
        }
        if (i >= 0) // the text up to the next markup
            i = s.indexOf('<', i);
    }
    return -1;
}
