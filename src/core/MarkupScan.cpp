#include "core/MarkupScan.h"

#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <utility>
#include <vector>

namespace markup_scan {

// ---- How each element counts in the text ---------------------------------------------------------------

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

namespace {

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

} // namespace

bool fitsParser(std::string_view utf8) {
    DepthScan scan;
    scanMarkup(utf8, scan);
    return !(scan.maxDepth > kMaxDepth || scan.depthSum > kMaxDepthSum || scan.tags > kMaxTags ||
             utf8.size() > kMaxParsedBytes);
}

std::string strippedText(std::string_view utf8) {
    TagStripper strip;
    scanMarkup(utf8, strip);
    return std::move(strip.out);
}

} // namespace markup_scan
