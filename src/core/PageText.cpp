#include "core/PageText.h"

#include "core/Fingerprint.h"

#include <QRegularExpression>
#include <QStringDecoder>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <gumbo.h>
#include <pcre2.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// ---- Lines ---------------------------------------------------------------------------------------------

// Every kind of white space (QChar::isSpace: blanks, tabs, no-break spaces and the other Unicode spaces)
// inside a line becomes one blank; '\n' ends a line, and so does '\r' in plain text; lines are trimmed and
// blank ones dropped.
QString cleanLines(QStringView in, bool crEndsLine) {
    QString out;
    out.reserve(in.size());
    bool inLine = false, needBreak = false, pendingBlank = false;
    for (const QChar c : in) {
        if (c == u'\n' || (crEndsLine && c == u'\r')) {
            needBreak = needBreak || inLine;
            inLine = pendingBlank = false;
        } else if (c.isSpace()) {
            pendingBlank = inLine;
        } else {
            if (needBreak)
                out += u'\n';
            else if (pendingBlank)
                out += u' ';
            needBreak = pendingBlank = false;
            out += c;
            inLine = true;
        }
    }
    return out;
}

// ---- Encodings -----------------------------------------------------------------------------------------

// Bytes 0x80-0x9F of windows-1252, which browsers use for every page labelled ISO-8859-1 or ASCII too.
constexpr std::array<char16_t, 32> kCp1252High{0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromCp1252(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (const char c : bytes) {
        const auto b = uchar(c);
        *o++ = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

// The value of the first "charset=" in the text, lower case, without quotes.
QByteArray charsetLabel(QByteArrayView text) {
    const qsizetype at = text.toByteArray().toLower().indexOf("charset=");
    if (at < 0)
        return {};
    qsizetype b = at + 8, e = b;
    while (b < text.size() && (text[b] == '"' || text[b] == '\'' || text[b] == ' '))
        e = ++b;
    while (e < text.size() && e - b < 40 &&
           (QChar::isLetterOrNumber(uchar(text[e])) || text[e] == '-' || text[e] == '_' || text[e] == ':' ||
            text[e] == '.'))
        ++e;
    return text.sliced(b, e - b).toByteArray().toLower();
}

// Text from a decoder, with every unpaired surrogate (the decoders' reading of some broken input) made U+FFFD.
QString decodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes) {
    QStringDecoder decoder(encoding);
    QString s = decoder(bytes);
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        else if (s[i].isSurrogate())
            s[i] = QChar::ReplacementCharacter;
    }
    return s;
}

// The body as text when it is declared (by a byte order mark, the content type or, for HTML, a meta charset
// in its first 1024 bytes) in an encoding other than UTF-8 that we know; none otherwise, and then it is
// read as UTF-8. Only Latin-1 (read as windows-1252) and the UTF-16/32 forms are known besides UTF-8.
std::optional<QString> decodeDeclared(QByteArrayView body, QByteArrayView contentType, bool maybeHtml) {
    if (const auto bom = QStringConverter::encodingForData(body)) {
        if (*bom == QStringConverter::Utf8)
            return std::nullopt;
        return decodeWith(*bom, body);
    }
    QByteArray label = charsetLabel(contentType);
    const bool fromHeader = !label.isEmpty();
    if (!fromHeader && maybeHtml)
        label = charsetLabel(body.first(std::min<qsizetype>(body.size(), 1024)));
    static const QByteArrayList latin{"iso-8859-1",   "iso8859-1", "latin1",   "latin-1",  "l1",
                                      "windows-1252", "cp1252",    "x-cp1252", "us-ascii", "ascii"};
    if (latin.contains(label))
        return fromCp1252(body);
    // A page claiming UTF-16 in its own markup was readable as ASCII, so it is not UTF-16.
    if (fromHeader && label.startsWith("utf-") && label != "utf-8") {
        if (const auto encoding = QStringConverter::encodingForName(label.constData()))
            return decodeWith(*encoding, body);
    }
    return std::nullopt;
}

enum class Kind { Html, Plain, Unknown };

Kind kindOf(QByteArrayView contentType) {
    QByteArray type = contentType.toByteArray().toLower();
    if (const qsizetype semi = type.indexOf(';'); semi >= 0)
        type.truncate(semi);
    type = type.trimmed();
    if (type.contains("html"))
        return Kind::Html;
    if (type.isEmpty() || type == "application/octet-stream" || type == "unknown/unknown" || type == "*/*")
        return Kind::Unknown;
    return Kind::Plain;
}

// Markup in the first 1024 bytes after white space: '<' followed by a letter, '!' or '/'.
bool looksLikeMarkup(std::string_view s) {
    qsizetype i = 0;
    while (i < qsizetype(s.size()) && QChar::isSpace(uchar(s[i])))
        ++i;
    const std::string_view head = s.substr(i, 1024);
    for (size_t p = head.find('<'); p != std::string_view::npos && p + 1 < head.size();
         p = head.find('<', p + 1)) {
        const auto c = uchar(head[p + 1]);
        if (QChar::isLetter(c) && c < 0x80)
            return true;
        if (c == '!' || c == '/')
            return true;
    }
    return false;
}

// ---- How each element counts in the text ---------------------------------------------------------------

enum Role : unsigned char { Inline, Block, Cell, Drop, Pre, Break };

struct TagInfo {
    Role role = Inline;
    bool raw = false;    // its contents are text to the parser, up to its end tag
    bool isVoid = false; // it never holds others
};

const TagInfo& infoOf(GumboTag tag) {
    static const auto table = [] {
        std::array<TagInfo, GUMBO_TAG_LAST + 1> t{};
        // clang-format off
        // iframe, noembed and noframes hold markup for other browsers as raw text; it is not page text.
        for (GumboTag g : {GUMBO_TAG_SCRIPT, GUMBO_TAG_STYLE, GUMBO_TAG_NOSCRIPT, GUMBO_TAG_TEMPLATE, GUMBO_TAG_IFRAME,
                           GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES})
            t[g].role = Drop;
        for (GumboTag g : {GUMBO_TAG_ADDRESS, GUMBO_TAG_ARTICLE, GUMBO_TAG_ASIDE, GUMBO_TAG_BLOCKQUOTE, GUMBO_TAG_BODY,
                GUMBO_TAG_CAPTION, GUMBO_TAG_CENTER, GUMBO_TAG_DD, GUMBO_TAG_DETAILS, GUMBO_TAG_DIR, GUMBO_TAG_DIV,
                GUMBO_TAG_DL, GUMBO_TAG_DT, GUMBO_TAG_FIELDSET, GUMBO_TAG_FIGCAPTION, GUMBO_TAG_FIGURE,
                GUMBO_TAG_FOOTER, GUMBO_TAG_FORM, GUMBO_TAG_FRAMESET, GUMBO_TAG_H1, GUMBO_TAG_H2, GUMBO_TAG_H3,
                GUMBO_TAG_H4, GUMBO_TAG_H5, GUMBO_TAG_H6, GUMBO_TAG_HEADER, GUMBO_TAG_HGROUP, GUMBO_TAG_HR,
                GUMBO_TAG_HTML, GUMBO_TAG_LEGEND, GUMBO_TAG_LI, GUMBO_TAG_MAIN, GUMBO_TAG_MENU, GUMBO_TAG_NAV,
                GUMBO_TAG_OL, GUMBO_TAG_OPTGROUP, GUMBO_TAG_OPTION, GUMBO_TAG_P, GUMBO_TAG_SECTION,
                GUMBO_TAG_SUMMARY, GUMBO_TAG_TABLE, GUMBO_TAG_TBODY, GUMBO_TAG_TFOOT, GUMBO_TAG_THEAD, GUMBO_TAG_TR,
                GUMBO_TAG_UL, GUMBO_TAG_TITLE, GUMBO_TAG_TEXTAREA, GUMBO_TAG_SELECT, GUMBO_TAG_HEAD})
            t[g].role = Block;
        for (GumboTag g : {GUMBO_TAG_PRE, GUMBO_TAG_LISTING, GUMBO_TAG_XMP, GUMBO_TAG_PLAINTEXT})
            t[g].role = Pre;
        t[GUMBO_TAG_TD].role = t[GUMBO_TAG_TH].role = Cell;
        t[GUMBO_TAG_BR].role = Break;
        for (GumboTag g : {GUMBO_TAG_SCRIPT, GUMBO_TAG_STYLE, GUMBO_TAG_XMP, GUMBO_TAG_IFRAME, GUMBO_TAG_NOEMBED,
                GUMBO_TAG_NOFRAMES, GUMBO_TAG_NOSCRIPT, GUMBO_TAG_TEXTAREA, GUMBO_TAG_TITLE, GUMBO_TAG_PLAINTEXT})
            t[g].raw = true;
        // menuitem, keygen and isindex are left out: were the parser to let them hold others, the estimate of
        // how deep a page nests would fall short.
        for (GumboTag g : {GUMBO_TAG_AREA, GUMBO_TAG_BASE, GUMBO_TAG_BR, GUMBO_TAG_COL, GUMBO_TAG_EMBED, GUMBO_TAG_HR,
                GUMBO_TAG_IMG, GUMBO_TAG_INPUT, GUMBO_TAG_LINK, GUMBO_TAG_META, GUMBO_TAG_PARAM, GUMBO_TAG_SOURCE,
                GUMBO_TAG_TRACK, GUMBO_TAG_WBR, GUMBO_TAG_BASEFONT, GUMBO_TAG_BGSOUND, GUMBO_TAG_FRAME, GUMBO_TAG_IMAGE})
            t[g].isVoid = true;
        // clang-format on
        return t;
    }();
    return table[std::min<unsigned>(tag, GUMBO_TAG_LAST)];
}

Role roleOf(GumboTag tag) {
    return infoOf(tag).role;
}

// The text of a node, appended; outside preformatted text a line break in the source is only white space.
void appendText(std::string& out, const char* text, bool pre) {
    const size_t from = out.size();
    out += text;
    if (!pre) {
        for (size_t i = from; i < out.size(); ++i) {
            if (out[i] == '\n' || out[i] == '\r')
                out[i] = ' ';
        }
    }
}

// The parsed tree's text, walked with a stack of our own: hostile pages nest very deep.
std::string treeText(const GumboNode* root) {
    struct Frame {
        const GumboVector* kids;
        unsigned next;
        Role role;
    };
    std::string out;
    std::vector<Frame> stack{{&root->v.document.children, 0, Inline}};
    int pre = 0;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next == top.kids->length) {
            const Role role = top.role;
            stack.pop_back();
            pre -= role == Pre;
            out += role == Block || role == Pre ? "\n" : role == Cell ? " " : "";
            continue;
        }
        const auto* node = static_cast<const GumboNode*>(top.kids->data[top.next++]);
        if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
            node->type == GUMBO_NODE_CDATA) {
            appendText(out, node->v.text.text, pre > 0);
        } else if (node->type == GUMBO_NODE_ELEMENT) {
            const Role role = roleOf(node->v.element.tag);
            if (role == Drop)
                continue;
            out += role == Block || role == Pre || role == Break ? "\n" : role == Cell ? " " : "";
            pre += role == Pre;
            if (role != Break)
                stack.push_back({&node->v.element.children, 0, role});
        } // comments and template contents are no text
    }
    return out;
}

// ---- A linear look at the markup -----------------------------------------------------------------------

GumboTag tagOf(std::string_view name) {
    char lower[32];
    if (name.size() >= sizeof lower)
        return GUMBO_TAG_UNKNOWN;
    for (size_t i = 0; i < name.size(); ++i)
        lower[i] = char(name[i] >= 'A' && name[i] <= 'Z' ? name[i] + 32 : name[i]);
    return gumbo_tagn_enum(lower, unsigned(name.size()));
}

bool isAsciiAlpha(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Where the raw text of an element ends: at "</name" (any case) not followed by more of a name.
size_t rawTextEnd(std::string_view s, size_t from, std::string_view name, GumboTag tag) {
    if (tag == GUMBO_TAG_PLAINTEXT)
        return s.size();
    for (size_t p = s.find("</", from); p != std::string_view::npos; p = s.find("</", p + 2)) {
        const size_t q = p + 2 + name.size();
        if (q <= s.size() && tagOf(s.substr(p + 2, name.size())) == tag &&
            (q == s.size() || !(isAsciiAlpha(s[q]) || (s[q] >= '0' && s[q] <= '9'))))
            return p;
    }
    return s.size();
}

// The markup read tag by tag in one pass, as an HTML tokenizer roughly would: comments skipped, the raw text
// of an element (script, style, title, ...) handed over whole when sink.tag(tag, name, closing, selfClosing)
// says it opens raw text; sink.text(view), sink.raw(tag, view).
template <typename Sink> void scanMarkup(std::string_view s, Sink& sink) {
    size_t i = 0, textFrom = 0;
    const size_t n = s.size();
    while (true) {
        const size_t lt = s.find('<', i);
        if (lt == std::string_view::npos || lt + 1 >= n)
            break;
        const char c = s[lt + 1];
        if (c == '!' || c == '?') {
            sink.text(s.substr(textFrom, lt - textFrom));
            size_t end = s.find('>', lt); // a comment ends at "-->", "--!>", or at once as "<!-->" or "<!--->"
            if (s.substr(lt, 4) == "<!--" && s.substr(lt + 4, 1) != ">" && s.substr(lt + 4, 2) != "->") {
                end = s.find("--", lt + 4);
                while (end != std::string_view::npos && s.substr(end + 2, 1) != ">" &&
                       s.substr(end + 2, 2) != "!>")
                    end = s.find("--", end + 1);
                end = end == std::string_view::npos ? end : end + 2 + (s[end + 2] == '!');
            }
            i = textFrom = end == std::string_view::npos || end >= n ? n : end + 1;
            continue;
        }
        const bool closing = c == '/';
        const size_t p = lt + 1 + closing;
        if (p >= n || !isAsciiAlpha(s[p])) {
            i = lt + 1;
            continue;
        }
        sink.text(s.substr(textFrom, lt - textFrom));
        size_t q = p;
        while (q < n && s[q] != '>' && s[q] != '/' && !QChar::isSpace(uchar(s[q])))
            ++q;
        const std::string_view name = s.substr(p, q - p);
        const GumboTag tag = tagOf(name);
        // The attributes, to the '>' that ends the tag: quoted values may hold '>', unquoted ones '/'.
        enum { Name, BeforeValue, Unquoted, Quoted } state = Name;
        char quote = 0;
        bool slash = false;
        size_t e = q;
        for (; e < n; ++e) {
            const char d = s[e];
            const bool space = QChar::isSpace(uchar(d));
            if (d == '>' && state != Quoted)
                break;
            if (state == Quoted)
                state = d == quote ? Name : Quoted;
            else if (state == Unquoted)
                state = space ? Name : Unquoted;
            else if (state == BeforeValue && !space)
                quote = d, state = d == '"' || d == '\'' ? Quoted : Unquoted;
            else if (state == Name && d == '=')
                state = BeforeValue;
            slash = state == Name && d == '/';
        }
        i = textFrom = e < n ? e + 1 : n;
        if (sink.tag(tag, name, closing, slash && e < n)) {
            const size_t end = rawTextEnd(s, i, name, tag);
            sink.raw(tag, s.substr(i, end - i));
            i = textFrom = end;
        }
    }
    sink.text(s.substr(std::min(textFrom, n)));
}

// Beyond these the parser's work grows faster than the page (it looks through the open elements at every
// tag), it frees its tree recursively, and its tree takes some 400 bytes a tag: such a page is read by taking
// the tags out instead, in linear time and little memory. A tag-dense 1 MiB page has some 70,000 tags and
// nests a few dozen deep.
constexpr qint64 kMaxDepth = 1000;
constexpr qint64 kMaxDepthSum = 50'000'000;
constexpr qint64 kMaxTags = 250'000;
constexpr size_t kMaxParsedBytes = 16 << 20;

// How deep the parser's tree would get, and its work that grows with depth (the sum of the depths at every
// tag), estimated in one pass with a stack of open elements. The estimate must never fall short by more than
// a small factor, so it only closes an element where the parser surely closes it too: an end tag for the
// current element, the end of a block or table through elements whose end tags may be left out, and a start
// tag that closes a current one of its kind (p, li, dd, dt, option, table cells and rows).
struct DepthScan {
    struct Open {
        GumboTag tag;
        std::string_view name;
        bool foreign; // its children are SVG or MathML
    };
    std::vector<Open> open;
    qint64 maxDepth = 0, depthSum = 0, tags = 0;

    static bool in(GumboTag t, std::initializer_list<GumboTag> set) {
        return std::find(set.begin(), set.end(), t) != set.end();
    }
    bool isTop(GumboTag t, std::string_view name) const {
        return !open.empty() && open.back().tag == t &&
               (t != GUMBO_TAG_UNKNOWN ||
                QByteArrayView(open.back().name).compare(name, Qt::CaseInsensitive) == 0);
    }
    void popWhile(std::initializer_list<GumboTag> set) {
        while (!open.empty() && in(open.back().tag, set))
            open.pop_back();
    }
    void text(std::string_view) {}
    void raw(GumboTag, std::string_view) {}
    bool tag(GumboTag t, std::string_view name, bool closing, bool selfClosing) {
        depthSum += qint64(open.size());
        ++tags;
        if (closing) {
            const bool table = t == GUMBO_TAG_TABLE;
            if (isTop(t, name)) {
                open.pop_back();
            } else if (table ||
                       in(t, {GUMBO_TAG_ADDRESS, GUMBO_TAG_ARTICLE,  GUMBO_TAG_ASIDE,      GUMBO_TAG_BLOCKQUOTE,
                              GUMBO_TAG_CENTER,  GUMBO_TAG_DETAILS,  GUMBO_TAG_DIR,        GUMBO_TAG_DIV,
                              GUMBO_TAG_DL,      GUMBO_TAG_FIELDSET, GUMBO_TAG_FIGCAPTION, GUMBO_TAG_FIGURE,
                              GUMBO_TAG_FOOTER,  GUMBO_TAG_HEADER,   GUMBO_TAG_HGROUP,     GUMBO_TAG_LISTING,
                              GUMBO_TAG_MAIN,    GUMBO_TAG_MENU,     GUMBO_TAG_NAV,        GUMBO_TAG_OL,
                              GUMBO_TAG_PRE,     GUMBO_TAG_SECTION,  GUMBO_TAG_SUMMARY,    GUMBO_TAG_UL,
                              GUMBO_TAG_LI,      GUMBO_TAG_DD,       GUMBO_TAG_DT,         GUMBO_TAG_P,
                              GUMBO_TAG_H1,      GUMBO_TAG_H2,       GUMBO_TAG_H3,         GUMBO_TAG_H4,
                              GUMBO_TAG_H5,      GUMBO_TAG_H6})) {
                size_t i = open.size();
                while (i > 0 && open.size() - i < 64 &&
                       (in(open[i - 1].tag, {GUMBO_TAG_P, GUMBO_TAG_LI, GUMBO_TAG_DD, GUMBO_TAG_DT,
                                             GUMBO_TAG_OPTION, GUMBO_TAG_OPTGROUP}) ||
                        (table && in(open[i - 1].tag,
                                     {GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT, GUMBO_TAG_TR,
                                      GUMBO_TAG_TD, GUMBO_TAG_TH, GUMBO_TAG_CAPTION, GUMBO_TAG_COLGROUP}))))
                    --i;
                if (i > 0 && open[i - 1].tag == t)
                    open.resize(i - 1);
            }
            return false;
        }
        // In SVG or MathML only their own elements stay foreign; any other breaks out to HTML.
        const bool foreign =
            !open.empty() && open.back().foreign &&
            in(t, {GUMBO_TAG_UNKNOWN, GUMBO_TAG_SVG, GUMBO_TAG_MATH, GUMBO_TAG_MI, GUMBO_TAG_MO, GUMBO_TAG_MN,
                   GUMBO_TAG_MS, GUMBO_TAG_MTEXT, GUMBO_TAG_MGLYPH, GUMBO_TAG_MALIGNMARK, GUMBO_TAG_ANNOTATION_XML,
                   GUMBO_TAG_FOREIGNOBJECT, GUMBO_TAG_DESC, GUMBO_TAG_TITLE});
        if (infoOf(t).isVoid || (foreign && selfClosing) ||
            in(t, {GUMBO_TAG_HTML, GUMBO_TAG_HEAD, GUMBO_TAG_BODY}))
            return false;
        if (!foreign) {
            if (t == GUMBO_TAG_P)
                popWhile({GUMBO_TAG_P});
            else if (t == GUMBO_TAG_LI)
                popWhile({GUMBO_TAG_P, GUMBO_TAG_LI});
            else if (t == GUMBO_TAG_DD || t == GUMBO_TAG_DT)
                popWhile({GUMBO_TAG_P, GUMBO_TAG_DD, GUMBO_TAG_DT});
            else if (t == GUMBO_TAG_OPTION || t == GUMBO_TAG_OPTGROUP)
                popWhile({GUMBO_TAG_OPTION, t});
            else if (t == GUMBO_TAG_TD || t == GUMBO_TAG_TH)
                popWhile({GUMBO_TAG_TD, GUMBO_TAG_TH});
            else if (t == GUMBO_TAG_TR)
                popWhile({GUMBO_TAG_TD, GUMBO_TAG_TH, GUMBO_TAG_TR});
            else if (in(t, {GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT}))
                popWhile(
                    {GUMBO_TAG_TD, GUMBO_TAG_TH, GUMBO_TAG_TR, GUMBO_TAG_TBODY, GUMBO_TAG_THEAD, GUMBO_TAG_TFOOT});
        }
        const bool integration =
            in(t, {GUMBO_TAG_FOREIGNOBJECT, GUMBO_TAG_DESC, GUMBO_TAG_TITLE, GUMBO_TAG_MI, GUMBO_TAG_MO,
                   GUMBO_TAG_MN, GUMBO_TAG_MS, GUMBO_TAG_MTEXT, GUMBO_TAG_ANNOTATION_XML});
        if (qint64(open.size()) > kMaxDepth) // too deep already: the page is not for the parser
            open.pop_back();
        open.push_back({t, name, t == GUMBO_TAG_SVG || t == GUMBO_TAG_MATH || (foreign && !integration)});
        maxDepth = std::max(maxDepth, qint64(open.size()));
        // noscript is left to the parser's reading, whichever it is: its contents count as markup here.
        return !foreign && infoOf(t).raw && t != GUMBO_TAG_NOSCRIPT;
    }
};

// Character references for the plain reading of markup: numeric ones and the commonest names.
void appendDecoded(std::string& out, std::string_view s) {
    static const std::pair<std::string_view, char32_t> names[] = {
        {"amp", '&'},      {"lt", '<'},       {"gt", '>'},      {"quot", '"'},    {"apos", '\''},
        {"nbsp", 0xA0},    {"copy", 0xA9},    {"reg", 0xAE},    {"euro", 0x20AC}, {"hellip", 0x2026},
        {"mdash", 0x2014}, {"ndash", 0x2013}, {"laquo", 0xAB},  {"raquo", 0xBB},  {"egrave", 0xE8},
        {"eacute", 0xE9},  {"agrave", 0xE0},  {"ograve", 0xF2}, {"ugrave", 0xF9}, {"igrave", 0xEC}};
    for (size_t i = 0; i < s.size();) {
        const size_t amp = s.find('&', i);
        out.append(s.substr(i, amp == std::string_view::npos ? s.npos : amp - i));
        if (amp == std::string_view::npos)
            return;
        const size_t semi = s.substr(0, amp + 12).find(';', amp);
        char32_t code = 0;
        if (semi != std::string_view::npos && semi - amp <= 10) {
            const std::string_view ref = s.substr(amp + 1, semi - amp - 1);
            if (ref.size() > 1 && ref[0] == '#') {
                const bool hex = ref[1] == 'x' || ref[1] == 'X';
                bool ok = false;
                code = QByteArrayView(ref.substr(hex ? 2 : 1)).toUInt(&ok, hex ? 16 : 10);
                code = ok && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000) ? code : 0xFFFD;
            }
            for (const auto& [name, value] : names)
                code = ref == name ? value : code;
        }
        if (code) {
            out += QString::fromUcs4(&code, 1).toStdString();
            i = semi + 1;
        } else {
            out += '&';
            i = amp + 1;
        }
    }
}

// The text of markup too deep for the parser, by taking tags out: a plainer reading, in linear time.
struct TagStripper {
    std::string out;
    int dropped = 0, pre = 0;
    void text(std::string_view s) {
        if (dropped == 0)
            appendText(out, s);
    }
    void appendText(std::string& o, std::string_view s) {
        const size_t from = o.size();
        appendDecoded(o, s);
        for (size_t i = from; !pre && i < o.size(); ++i)
            o[i] = o[i] == '\n' || o[i] == '\r' ? ' ' : o[i];
    }
    void raw(GumboTag t, std::string_view s) {
        if (dropped == 0 && roleOf(t) != Drop)
            appendText(out, s);
    }
    bool tag(GumboTag t, std::string_view, bool closing, bool selfClosing) {
        const Role role = roleOf(t);
        if (role == Drop && !infoOf(t).raw && !selfClosing)
            dropped = closing ? std::max(0, dropped - 1) : dropped + 1;
        if (role == Pre)
            pre = closing ? std::max(0, pre - 1) : pre + 1;
        if (dropped == 0)
            out += role == Block || role == Pre || role == Break ? "\n" : role == Cell ? " " : "";
        return !closing && infoOf(t).raw;
    }
};

QString htmlText(std::string_view utf8) {
    DepthScan scan;
    scanMarkup(utf8, scan);
    if (scan.maxDepth > kMaxDepth || scan.depthSum > kMaxDepthSum || scan.tags > kMaxTags ||
        utf8.size() > kMaxParsedBytes) {
        TagStripper strip;
        scanMarkup(utf8, strip);
        return cleanLines(QString::fromUtf8(strip.out), false);
    }
    // The parser allocates from an arena, dropped whole: freeing its tree would recurse as deep as it nests.
    struct Arena {
        std::vector<std::unique_ptr<std::byte[]>> blocks;
        std::byte* at = nullptr;
        size_t left = 0;
        static void* allocate(void* self, size_t size) {
            auto& a = *static_cast<Arena*>(self);
            size = (size + 15) & ~size_t(15);
            if (size > a.left) {
                a.left = std::max<size_t>(size, 1 << 20);
                a.at = a.blocks.emplace_back(new std::byte[a.left]).get();
            }
            a.left -= size;
            return std::exchange(a.at, a.at + size);
        }
        static void release(void*, void*) {}
    } arena;
    GumboOptions options = kGumboDefaultOptions;
    options.allocator = &Arena::allocate;
    options.deallocator = &Arena::release;
    options.userdata = &arena;
    options.max_errors = 0; // a broken page does not build a list of its faults
    const GumboOutput* output = gumbo_parse_with_options(&options, utf8.data(), utf8.size());
    return cleanLines(QString::fromUtf8(treeText(output->document)), false);
}

} // namespace

QString extractPageText(QByteArrayView body, QByteArrayView contentType) {
    const Kind kind = kindOf(contentType);
    const bool markup =
        kind == Kind::Html ||
        (kind == Kind::Unknown && looksLikeMarkup(std::string_view(body.data(), size_t(body.size()))));
    const std::optional<QString> decoded = decodeDeclared(body, contentType, markup);
    if (decoded && kind == Kind::Plain)
        return cleanLines(*decoded, true);
    const QByteArray transcoded = decoded ? decoded->toUtf8() : QByteArray();
    std::string_view utf8 = decoded ? std::string_view(transcoded.constData(), size_t(transcoded.size()))
                                    : std::string_view(body.data(), size_t(body.size()));
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        utf8.remove_prefix(3);
    if (kind == Kind::Html || (kind == Kind::Unknown && looksLikeMarkup(utf8)))
        return htmlText(utf8);
    return cleanLines(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())), true);
}

// ---- Rules ---------------------------------------------------------------------------------------------

namespace {

// Rules look at the first 16 Ki characters of a line: with the match limit on every start position, that
// bounds the work of one pattern on one line however long the line is.
constexpr qsizetype kMatchedChars = 16 * 1024;
constexpr uint32_t kMatchLimit = 100'000;
constexpr uint32_t kDepthLimit = 10'000;

QString withoutDigits(const QString& s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(s[i], s[i + 1]) : s[i].unicode();
        if (!QChar::isDigit(c))
            out.append(s.constData() + i, pair ? 2 : 1);
        i += pair;
    }
    return out;
}

template <typename T, void (*Free)(T*)> struct Freer {
    void operator()(T* p) const { Free(p); }
};
template <typename T, void (*Free)(T*)> using Owned = std::unique_ptr<T, Freer<T, Free>>;

} // namespace

struct TextRules::Impl {
    SiteOptions options;
    std::vector<std::pair<QString, Owned<pcre2_code, pcre2_code_free>>> patterns;
};

TextRules::TextRules(const SiteOptions& options)
    : d(std::make_unique<Impl>()) {
    d->options = options;
    for (const QString& pattern : options.ignore) {
        if (pattern.isEmpty())
            continue; // it would match every line
        int error = 0;
        PCRE2_SIZE offset = 0;
        // The options QRegularExpression compiles with, so a pattern means here what it meant when entered.
        pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), PCRE2_SIZE(pattern.size()),
                                         PCRE2_UTF, &error, &offset, nullptr);
        if (!code)
            continue;
        pcre2_jit_compile(code, PCRE2_JIT_COMPLETE); // without JIT the interpreter matches, under the same limits
        d->patterns.emplace_back(pattern, code);
    }
}

TextRules::~TextRules() = default;
TextRules::TextRules(TextRules&&) noexcept = default;
TextRules& TextRules::operator=(TextRules&&) noexcept = default;

QString TextRules::patternError(const QString& pattern) {
    if (pattern.isEmpty())
        return QStringLiteral("Regola vuota");
    const QRegularExpression re(pattern);
    if (re.isValid())
        return {};
    const qsizetype position = std::min(re.patternErrorOffset() + 1, pattern.size());
    return QStringLiteral("Espressione non valida: %1 (posizione %2)").arg(re.errorString()).arg(position);
}

FilteredText TextRules::apply(const QString& text) const {
    FilteredText r;
    if (!text.isEmpty())
        r.lines = text.split(u'\n');
    const SiteOptions& o = d->options;
    const qsizetype n = r.lines.size();
    r.fates.fill(LineFate::Kept, n);

    // The region. A start text found on no line narrows nothing: the page changed so that the region cannot
    // be told, and a change is safer shown than hidden.
    qsizetype first = 0, last = n - 1;
    bool started = false;
    for (qsizetype i = 0; !o.start.isEmpty() && i < n && !started; ++i) {
        started = r.lines[i].contains(o.start);
        first = started ? i : first;
    }
    for (qsizetype i = started ? first + 1 : 0; !o.end.isEmpty() && i < n; ++i) {
        if (r.lines[i].contains(o.end)) {
            last = i;
            break;
        }
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (i < first || i > last)
            r.fates[i] = LineFate::OutsideRegion;
    }

    // The ignore rules, with a match context, JIT stack and match data of this call's own.
    if (!d->patterns.empty()) {
        const Owned<pcre2_match_context, pcre2_match_context_free> context(pcre2_match_context_create(nullptr));
        const Owned<pcre2_jit_stack, pcre2_jit_stack_free> stack(
            pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr));
        const Owned<pcre2_match_data, pcre2_match_data_free> match(pcre2_match_data_create(1, nullptr));
        pcre2_set_match_limit(context.get(), kMatchLimit);
        pcre2_set_depth_limit(context.get(), kDepthLimit);
        pcre2_jit_stack_assign(context.get(), nullptr, stack.get());
        std::vector<bool> hitLimit(d->patterns.size());
        for (qsizetype i = first; i <= last; ++i) {
            const QString& line = r.lines[i];
            qsizetype length = std::min(line.size(), kMatchedChars);
            if (length < line.size() && line[length].isLowSurrogate())
                --length;
            for (size_t p = 0; p < d->patterns.size(); ++p) {
                const int rc = pcre2_match(d->patterns[p].second.get(), reinterpret_cast<PCRE2_SPTR>(line.utf16()),
                                           PCRE2_SIZE(length), 0, length < line.size() ? PCRE2_NOTEOL : 0,
                                           match.get(), context.get());
                if (rc >= 0) {
                    r.fates[i] = LineFate::Ignored;
                    break;
                }
                if ((rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
                     rc == PCRE2_ERROR_JIT_STACKLIMIT) &&
                    !hitLimit[p]) {
                    hitLimit[p] = true;
                    r.limitHits << d->patterns[p].first;
                }
            }
        }
    }

    // The text: kept lines, digits taken out when asked; a line left empty by that stays, as an empty line.
    QStringList kept;
    kept.reserve(last - first + 1);
    for (qsizetype i = first; i <= last; ++i) {
        if (r.fates[i] == LineFate::Kept)
            kept << (o.noDigits ? withoutDigits(r.lines[i]) : r.lines[i]);
    }
    r.text = kept.join(u'\n');
    return r;
}

// The page fingerprint leaves out the last byte; a line end after the text makes its last character count.
qint32 TextRules::fingerprint(const QString& text) const {
    return calcCRC32(QByteArray(apply(text).text.toUtf8()).append('\n'));
}
