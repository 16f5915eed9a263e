#include "core/HtmlText.h"

#include "core/HtmlLines.h"

#include <libxml/HTMLparser.h>
#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace html_text {

namespace {

// ---- UTF-8 ---------------------------------------------------------------------------------------------

// Length of the well-formed sequence at s[i], 0 when there is none (RFC 3629: no surrogates, no overlong).
size_t sequenceAt(std::string_view s, size_t i) {
    const auto b = [&](size_t k) {
        return i + k < s.size() ? uchar(s[i + k]) : 0u;
    };
    const unsigned c = b(0);
    const auto tail = [&](size_t k) {
        return (b(k) & 0xC0) == 0x80;
    };
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return tail(1) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        const unsigned lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
        return b(1) >= lo && b(1) <= hi && tail(2) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        const unsigned lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
        return b(1) >= lo && b(1) <= hi && tail(2) && tail(3) ? 4 : 0;
    }
    return 0;
}

// The maximal prefix of a sequence that could still be well formed counts as one fault, as Qt counts it.
size_t faultLength(std::string_view s, size_t i) {
    const unsigned c = uchar(s[i]);
    const size_t want = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 1;
    size_t n = 1;
    while (n < want && i + n < s.size() && (uchar(s[i + n]) & 0xC0) == 0x80) {
        const unsigned d = uchar(s[i + n]);
        if (n == 1 && ((c == 0xE0 && d < 0xA0) || (c == 0xED && d > 0x9F) || (c == 0xF0 && d < 0x90) ||
                       (c == 0xF4 && d > 0x8F)))
            break;
        ++n;
    }
    return n;
}

// ---- How each element counts in the text ---------------------------------------------------------------

// The named elements by their first letter, each bucket scanned by length first: a tag costs a few byte
// compares, not a string hash.
struct Roles {
    struct Named {
        std::string_view name;
        Role role;
    };
    std::array<std::vector<Named>, 26> byLetter;

    Roles() {
        const auto add = [this](std::initializer_list<const char*> names, Role role) {
            for (const char* n : names)
                byLetter[size_t(n[0] - 'a')].push_back({n, role});
        };
        // iframe, noembed and noframes hold markup for other browsers; it is not page text.
        add({"script", "style", "noscript", "template", "iframe", "noembed", "noframes"}, Drop);
        add({"address", "article", "aside",    "blockquote", "body",   "caption",  "center",     "dd",
             "details", "dir",     "div",      "dl",         "dt",     "fieldset", "figcaption", "figure",
             "footer",  "form",    "frameset", "h1",         "h2",     "h3",       "h4",         "h5",
             "h6",      "header",  "hgroup",   "hr",         "html",   "legend",   "li",         "main",
             "menu",    "nav",     "ol",       "optgroup",   "option", "p",        "section",    "summary",
             "table",   "tbody",   "tfoot",    "thead",      "tr",     "ul",       "title",      "textarea",
             "select",  "head"},
            Block);
        add({"pre", "listing", "xmp", "plaintext"}, Pre);
        add({"td", "th"}, Cell);
        add({"br"}, Break);
    }

    Role of(std::string_view name) const {
        if (name.empty() || name[0] < 'a' || name[0] > 'z')
            return Inline;
        for (const Named& n : byLetter[size_t(name[0] - 'a')]) {
            if (n.name == name)
                return n.role;
        }
        return Inline;
    }
};

// ---- Lines -------------------------------------------------------------------------------------------

// Whether the character at s (lead byte c, n bytes long as c claims) is one of the spaces beyond ASCII: U+0085,
// U+00A0, U+1680, U+2000-U+200A, U+2028, U+2029, U+202F, U+205F and U+3000.
bool wideSpace(const char* s, size_t n, unsigned c) {
    const auto b1 = n > 1 ? uchar(s[1]) : 0u, b2 = n > 2 ? uchar(s[2]) : 0u;
    return (c == 0xC2 && (b1 == 0x85 || b1 == 0xA0)) || (c == 0xE1 && b1 == 0x9A && b2 == 0x80) ||
           (c == 0xE2 && b1 == 0x80 && (b2 <= 0x8A || b2 == 0xA8 || b2 == 0xA9 || b2 == 0xAF)) ||
           (c == 0xE2 && b1 == 0x81 && b2 == 0x9F) || (c == 0xE3 && b1 == 0x80 && b2 == 0x80);
}

} // namespace

Role roleOf(std::string_view name) {
    static const Roles roles;
    return roles.of(name);
}

void Lines::add(std::string_view in, bool crEndsLine, bool newlineIsBlank) {
    const char* const s = in.data();
    const size_t size = in.size();
    for (size_t i = 0; i < size;) {
        const auto c = uchar(s[i]);
        if (c == ' ' || (c >= 0x09 && c <= 0x0D)) {
            if (!newlineIsBlank && (c == '\n' || (crEndsLine && c == '\r')))
                endLine();
            else
                blank();
            ++i;
            continue;
        }
        // A run of characters that are not white space goes in with one append.
        size_t j = i;
        while (j < size) {
            const auto d = uchar(s[j]);
            if (d < 0x80) {
                // One blank between two words stays as it is.
                if (d == ' ' && j + 1 < size && uchar(s[j + 1]) > 0x20 && uchar(s[j + 1]) < 0x80) {
                    j += 2;
                    continue;
                }
                if (d == ' ' || (d >= 0x09 && d <= 0x0D))
                    break;
                ++j;
                continue;
            }
            const size_t n = std::min<size_t>(d >= 0xF0 ? 4 : d >= 0xE0 ? 3 : 2, size - j);
            if (wideSpace(s + j, n, d))
                break;
            j += n;
        }
        if (j == i) { // a wide space
            blank();
            i += std::min<size_t>(c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2, size - i);
            continue;
        }
        if (needBreak)
            out += '\n';
        else if (pendingBlank)
            out += ' ';
        needBreak = pendingBlank = false;
        out.append(s + i, j - i);
        inLine = true;
        i = j;
    }
}

namespace {

// ---- The walk ------------------------------------------------------------------------------------------

// The parser looks through the open elements at every end tag, even one that closes nothing and so is no
// event here: a page's end tags times the depth it reaches bound its work, and a page beyond that budget is
// not read. A tag-dense 1 MiB page has some 70,000 tags and nests a few dozen deep.
constexpr qint64 kMaxDepth = 1000;
constexpr qint64 kDepthBudget = 20'000'000;
constexpr qint64 kMaxTags = 1'000'000;

// The text of libxml2's tree of a page, gathered as its tree builder goes and walked in document order.
struct Walk {
    htmlParserCtxtPtr context = nullptr;
    Lines lines;
    int dropped = 0, pre = 0;
    qint64 depth = 0, maxDepth = kMaxDepth, depthSum = 0;
    bool tooMuch = false;

    // False, and the parser stopped, when the page goes beyond the bounds.
    bool count() {
        depthSum += ++depth;
        if (depth > maxDepth || depthSum > kDepthBudget) {
            tooMuch = true;
            xmlStopParser(context);
        }
        return !tooMuch;
    }
    void open(const char* name) {
        if (context && !count())
            return;
        const Role role = roleOf(name);
        dropped += role == Drop;
        pre += role == Pre;
        if (!dropped)
            separate(role == Block || role == Pre || role == Break, role == Cell);
    }
    void close(const char* name) {
        --depth;
        const Role role = roleOf(name);
        if (!dropped)
            separate(role == Block || role == Pre, role == Cell);
        dropped -= role == Drop;
        pre -= role == Pre;
    }
    // Outside preformatted text a line break in the source is only white space.
    void text(const char* s, int length) {
        if (!dropped)
            lines.add(std::string_view(s, size_t(length)), false, !pre);
    }
    void separate(bool line, bool blank) {
        if (line)
            lines.endLine();
        else if (blank)
            lines.blank();
    }

    static Walk& of(void* context) {
        return *static_cast<Walk*>(static_cast<htmlParserCtxtPtr>(context)->_private);
    }
    // Building the tree: the same bounds, through the parser's own tree builder.
    bool sawTbody = false;
    static void onTreeStart(void* c, const xmlChar* name, const xmlChar** attributes) {
        Walk& w = of(c);
        w.sawTbody = w.sawTbody || xmlStrEqual(name, reinterpret_cast<const xmlChar*>("tbody"));
        if (w.count())
            xmlSAX2StartElement(c, name, attributes);
    }
    static void onTreeEnd(void* c, const xmlChar* name) {
        --of(c).depth;
        xmlSAX2EndElement(c, name);
    }

    // The text of a node of the tree and all below it, walked without recursion.
    void node(const xmlNode* top) {
        if (top->type == XML_HTML_DOCUMENT_NODE || top->type == XML_DOCUMENT_NODE) {
            for (const xmlNode* child = top->children; child; child = child->next)
                node(child);
            return;
        }
        if (top->type != XML_ELEMENT_NODE) {
            if (xmlChar* content = xmlNodeGetContent(top)) {
                text(reinterpret_cast<const char*>(content),
                     int(std::strlen(reinterpret_cast<const char*>(content))));
                xmlFree(content);
            }
            return;
        }
        const xmlNode* n = top;
        while (true) {
            if (n->type == XML_ELEMENT_NODE) {
                open(reinterpret_cast<const char*>(n->name));
                if (n->children) {
                    n = n->children;
                    continue;
                }
                close(reinterpret_cast<const char*>(n->name));
            } else if ((n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) && n->content) {
                text(reinterpret_cast<const char*>(n->content),
                     int(std::strlen(reinterpret_cast<const char*>(n->content))));
            }
            while (n != top && !n->next) {
                n = n->parent;
                close(reinterpret_cast<const char*>(n->name));
            }
            if (n == top)
                return;
            n = n->next;
        }
    }
};

constexpr unsigned long kXPathOperations = 10'000'000;
constexpr int kMaxMatches = 10'000;

void quiet(void*, xmlErrorPtr) {}

} // namespace

std::string_view validUtf8(std::string_view in, std::string& storage) {
    size_t i = 0;
    while (i < in.size()) {
        // Eight bytes of ASCII at a time.
        std::uint64_t eight = 0;
        if (i + 8 <= in.size() && (std::memcpy(&eight, in.data() + i, 8), (eight & 0x8080808080808080u) == 0)) {
            i += 8;
        } else if (uchar(in[i]) < 0x80) {
            ++i;
        } else if (const size_t n = sequenceAt(in, i)) {
            i += n;
        } else {
            break;
        }
    }
    if (i == in.size())
        return in;
    storage.assign(in.substr(0, i));
    while (i < in.size()) {
        if (const size_t n = sequenceAt(in, i)) {
            storage.append(in.substr(i, n));
            i += n;
        } else {
            storage += "\xEF\xBF\xBD";
            i += faultLength(in, i);
        }
    }
    return storage;
}

std::string cleanLines(std::string_view in, bool crEndsLine) {
    Lines lines;
    lines.out.reserve(in.size());
    lines.add(in, crEndsLine, false);
    return std::move(lines.out);
}

namespace {

// The parser set up for the page: UTF-8 whatever the page says of itself (the page text has read its
// encoding already), no messages, no network; the bounds checked as it goes. Null when the page is beyond them
// before parsing.
htmlParserCtxtPtr parserFor(std::string_view utf8, Walk& walk) {
    if (utf8.size() > kMaxParsedBytes)
        return nullptr;
    // What looks like a tag, counted before the parser sees it (some of it may be in scripts or comments).
    qint64 tags = 0, endTags = 0;
    for (const char *p = utf8.data(), *end = p + utf8.size();
         (p = static_cast<const char*>(std::memchr(p, '<', size_t(end - p)))) && ++p < end;) {
        const char c = char(*p | 0x20);
        tags += (c >= 'a' && c <= 'z') || *p == '/';
        endTags += *p == '/';
    }
    if (tags > kMaxTags)
        return nullptr;
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
    walk.maxDepth = std::min(kMaxDepth, kDepthBudget / std::max<qint64>(endTags, 1));
    const htmlParserCtxtPtr context = htmlCreateMemoryParserCtxt(utf8.data(), int(utf8.size()));
    if (!context)
        return nullptr;
    walk.context = context;
    context->_private = &walk;
    xmlSwitchEncoding(context, XML_CHAR_ENCODING_UTF8);
    htmlCtxtUseOptions(context, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                                    HTML_PARSE_IGNORE_ENC | HTML_PARSE_NODEFDTD);
    context->options |= XML_PARSE_HUGE; // our own bounds on depth, not the tree builder's 256
    return context;
}

using Context = std::unique_ptr<htmlParserCtxt, decltype(&htmlFreeParserCtxt)>;

} // namespace

Selected readSelected(std::string_view utf8, const std::string& xpath, const std::string& withoutTbody) {
    Selected out;
    Walk walk;
    const Context context(parserFor(utf8, walk), &htmlFreeParserCtxt);
    if (!context)
        return {Selected::TooMuch, {}, 0};
    context->sax->startElement = &Walk::onTreeStart;
    context->sax->endElement = &Walk::onTreeEnd;
    context->userData = context.get();
    htmlParseDocument(context.get());
    const std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)> doc(std::exchange(context->myDoc, nullptr), &xmlFreeDoc);
    if (walk.tooMuch || !doc)
        return {walk.tooMuch ? Selected::TooMuch : Selected::Read, {}, 0};

    const std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> x(xmlXPathNewContext(doc.get()),
                                                                             &xmlXPathFreeContext);
    x->opLimit = kXPathOperations;
    x->error = &quiet;
    const std::string& expression = walk.sawTbody || withoutTbody.empty() ? xpath : withoutTbody;
    const std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(
        xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), x.get()),
        &xmlXPathFreeObject);
    if (!result)
        return {Selected::BadExpression, {}, 0};
    Walk text; // no parser: it only gathers text
    if (result->type == XPATH_NODESET) {
        const xmlNodeSet* nodes = result->nodesetval;
        out.matches = nodes ? nodes->nodeNr : 0;
        for (int i = 0; i < std::min(int(out.matches), kMaxMatches); ++i) {
            text.lines.endLine();
            text.node(nodes->nodeTab[i]);
        }
    } else {
        xmlChar* value = xmlXPathCastToString(result.get());
        out.matches = 1;
        text.text(reinterpret_cast<const char*>(value), int(std::strlen(reinterpret_cast<const char*>(value))));
        xmlFree(value);
    }
    out.text = std::move(text.lines.out);
    return out;
}

} // namespace html_text
