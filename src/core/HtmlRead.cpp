#include "core/HtmlText.h"

#include "core/HtmlEntities.h"
#include "core/HtmlLines.h"
#include "core/Utf8.h"

#include <algorithm>
#include <cstring>

// A page's text in one pass over its bytes, tokenised as a browser tokenises HTML, with no tree: the text only
// needs to know where lines end, which elements are left out and which keep their line breaks. Every step moves
// forward, so a page costs time in proportion to its bytes, however it nests or fails to close.
namespace html_text {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAlnum(char c) {
    return isLetter(c) || (c >= '0' && c <= '9');
}
char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c;
}

void appendUtf8(std::string& out, char32_t c) {
    char buf[4];
    out.append(utf8Bytes(c, buf));
}

class Reader {
public:
    explicit Reader(std::string_view page)
        : s(page) {
        lines.out.reserve(page.size() / 2);
    }

    std::string run() {
        while (i < s.size()) {
            const char* lt = static_cast<const char*>(std::memchr(s.data() + i, '<', s.size() - i));
            const size_t at = lt ? size_t(lt - s.data()) : s.size();
            text(s.substr(i, at - i));
            i = at;
            if (i < s.size())
                markup();
        }
        return std::move(lines.out);
    }

private:
    std::string_view s;
    size_t i = 0;
    Lines lines;
    int pre = 0;
    std::string decoded;

    // The first '&' or NUL from k on, or the end.
    static size_t findSpecial(std::string_view t, size_t k) {
        while (k < t.size() && t[k] != '&' && t[k] != '\0')
            ++k;
        return k;
    }

    // Text between tags: references decoded, NUL bytes dropped (browsers show nothing for them).
    void text(std::string_view t) {
        if (t.empty())
            return;
        const size_t special = findSpecial(t, 0);
        if (special == t.size()) {
            lines.add(t, false, !pre);
            return;
        }
        decoded.assign(t.substr(0, special));
        for (size_t k = special; k < t.size();) {
            if (t[k] == '&') {
                k = reference(t, k);
            } else if (t[k] == '\0') {
                ++k;
            } else {
                const size_t next = findSpecial(t, k);
                decoded.append(t.substr(k, next - k));
                k = next;
            }
        }
        lines.add(decoded, false, !pre);
    }

    // The reference at t[k] ('&') appended to decoded; returns where the text goes on. A name needs its ';'
    // and must be known; a number may lack it. What is no reference stays as written.
    size_t reference(std::string_view t, size_t k) {
        size_t e = k + 1;
        if (e < t.size() && t[e] == '#') {
            const bool hex = e + 1 < t.size() && (t[e + 1] == 'x' || t[e + 1] == 'X');
            size_t d = e + 1 + hex, end = d;
            char32_t value = 0;
            for (; end < t.size(); ++end) {
                const char c = lower(t[end]);
                const int digit = c >= '0' && c <= '9' ? c - '0' : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
                if (digit < 0)
                    break;
                value = std::min<char32_t>(value * (hex ? 16 : 10) + char32_t(digit), 0x110000);
            }
            if (end == d) {
                decoded += '&';
                return k + 1;
            }
            if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
                value = 0xFFFD;
            else if (value >= 0x80 && value < 0xA0)
                value = kCp1252High[value - 0x80];
            appendUtf8(decoded, value);
            return end < t.size() && t[end] == ';' ? end + 1 : end;
        }
        while (e < t.size() && e - k <= 32 && isAlnum(t[e]))
            ++e;
        if (e < t.size() && t[e] == ';' && e > k + 1) {
            if (const char32_t c = namedEntity(t.substr(k + 1, e - k - 1))) {
                appendUtf8(decoded, c);
                return e + 1;
            }
        }
        decoded += '&';
        return k + 1;
    }

    // At a '<': a tag, a comment, something a browser takes for a comment, or a '<' of the text.
    void markup() {
        const size_t n = s.size();
        const char next = i + 1 < n ? s[i + 1] : '\0';
        if (isLetter(next)) {
            startTag();
        } else if (next == '/' && i + 2 < n && isLetter(s[i + 2])) {
            endTag();
        } else if (next == '/' && i + 2 < n && s[i + 2] == '>') {
            i += 3;
        } else if (next == '!' && s.substr(i + 2, 2) == "--") {
            comment();
        } else if (next == '!' || next == '?' || next == '/') {
            skipPast('>', i + 2); // a doctype, a processing instruction, CDATA, a broken end tag
        } else {
            text(s.substr(i, 1));
            ++i;
        }
    }

    void skipPast(char c, size_t from) {
        const size_t at = s.find(c, std::min(from, s.size()));
        i = at == std::string_view::npos ? s.size() : at + 1;
    }

    // "<!--" up to "-->" or "--!>"; "<!-->" and "<!--->" are empty comments. One never closed runs to the end.
    void comment() {
        const size_t body = i + 4;
        if (s.substr(body, 1) == ">" || s.substr(body, 2) == "->") {
            i = body + (s[body] == '>' ? 1 : 2);
            return;
        }
        for (size_t k = body; (k = s.find("--", k)) != std::string_view::npos; ++k) {
            if (s.substr(k + 2, 1) == ">" || s.substr(k + 2, 2) == "!>") {
                i = k + (s[k + 2] == '>' ? 3 : 4);
                return;
            }
        }
        i = s.size();
    }

    // The tag's name in lower case (only names of a role's length matter) and the position after the tag's
    // '>', or the end of the page when the tag never closes (a browser drops such a tag and all after it).
    struct Tag {
        char name[12];
        size_t length = 0;
        std::string_view view() const { return {name, length}; }
    };
    Tag tagAt(size_t from) {
        Tag tag;
        size_t k = from;
        for (; k < s.size() && !isSpace(s[k]) && s[k] != '/' && s[k] != '>'; ++k) {
            if (tag.length < sizeof tag.name)
                tag.name[tag.length] = lower(s[k]);
            ++tag.length;
        }
        if (tag.length > sizeof tag.name)
            tag.length = 0; // no element of a role has so long a name
        // Attributes: only a quoted value can hold a '>'.
        while (k < s.size() && s[k] != '>') {
            if (s[k] == '=') {
                ++k;
                while (k < s.size() && isSpace(s[k]))
                    ++k;
                if (k < s.size() && (s[k] == '"' || s[k] == '\'')) {
                    const size_t close = s.find(s[k], k + 1);
                    k = close == std::string_view::npos ? s.size() : close + 1;
                    continue;
                }
            }
            ++k;
        }
        i = k < s.size() ? k + 1 : s.size();
        return tag;
    }

    void startTag() {
        const Tag tag = tagAt(i + 1);
        const Role role = roleOf(tag.view());
        if (role == Drop) {
            skipElement(tag.view());
            return;
        }
        if (tag.view() == "plaintext") { // the rest of the page is its text, as it stands
            lines.endLine();
            lines.add(s.substr(i), false, false);
            i = s.size();
            return;
        }
        pre += role == Pre;
        separate(role == Block || role == Pre || role == Break, role == Cell);
    }

    void endTag() {
        const Tag tag = tagAt(i + 2);
        const Role role = roleOf(tag.view());
        if (role == Pre && pre > 0)
            --pre;
        separate(role == Block || role == Pre || role == Break, role == Cell);
    }

    // An element left out goes on to its end tag, or, never closed, to the end of the page.
    void skipElement(std::string_view name) {
        for (size_t k = i; (k = s.find("</", k)) != std::string_view::npos; ++k) {
            size_t e = k + 2, m = 0;
            while (m < name.size() && e < s.size() && lower(s[e]) == name[m])
                ++e, ++m;
            if (m == name.size() && (e == s.size() || isSpace(s[e]) || s[e] == '/' || s[e] == '>')) {
                i = k;
                tagAt(k + 2);
                return;
            }
        }
        i = s.size();
    }

    void separate(bool line, bool blank) {
        if (line)
            lines.endLine();
        else if (blank)
            lines.blank();
    }
};

} // namespace

bool read(std::string_view utf8, std::string& text) {
    if (utf8.size() > kMaxParsedBytes)
        return false;
    text = Reader(utf8).run();
    return true;
}

} // namespace html_text
