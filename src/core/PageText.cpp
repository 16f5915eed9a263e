#include "core/PageText.h"

#include <QCoreApplication>

#include "core/Fingerprint.h"
#include "core/HtmlEntities.h"
#include "core/HtmlText.h"
#include "core/PageSelector.h"

#include <QRegularExpression>
#include <QStringDecoder>

#define PCRE2_CODE_UNIT_WIDTH 16
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

// ---- Encodings -----------------------------------------------------------------------------------------

QString fromCp1252(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* o = out.data();
    for (const char c : bytes) {
        const auto b = uchar(c);
        *o++ = QChar(b >= 0x80 && b < 0xA0 ? html_text::kCp1252High[b - 0x80] : char16_t(b));
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

// The media type alone, lower case, without parameters.
QByteArray mediaType(QByteArrayView contentType) {
    QByteArray type = contentType.toByteArray().toLower();
    if (const qsizetype semi = type.indexOf(';'); semi >= 0)
        type.truncate(semi);
    return type.trimmed();
}

Kind kindOf(QByteArrayView contentType) {
    const QByteArray type = mediaType(contentType);
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

} // namespace

bool hasPageText(QByteArrayView body, QByteArrayView contentType) {
    if (kindOf(contentType) == Kind::Unknown) {
        const QByteArrayView head = body.first(std::min<qsizetype>(body.size(), 1024));
        return head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF") ||
               head.startsWith(QByteArrayView("\0\0\xFE\xFF", 4)) || !head.contains('\0');
    }
    const QByteArray type = mediaType(contentType);
    return type.startsWith("text/") || type.contains("html") || type.contains("xml") || type.contains("json") ||
           type.contains("javascript") || type.contains("ecmascript");
}

PageText extractPageText(QByteArrayView body, QByteArrayView contentType, const QString& xpath) {
    const Kind kind = kindOf(contentType);
    const bool markup =
        kind == Kind::Html ||
        (kind == Kind::Unknown && looksLikeMarkup(std::string_view(body.data(), size_t(body.size()))));
    const std::optional<QString> decoded = decodeDeclared(body, contentType, markup);
    const QByteArray transcoded = decoded ? decoded->toUtf8() : QByteArray();
    std::string_view utf8 = decoded ? std::string_view(transcoded.constData(), size_t(transcoded.size()))
                                    : std::string_view(body.data(), size_t(body.size()));
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        utf8.remove_prefix(3);
    std::string valid;
    utf8 = html_text::validUtf8(utf8, valid);
    // Not QString::fromUtf8, which drops a U+FEFF that begins the text and would leave the blank after it.
    const auto text = [](const std::string& lines) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return QString(decoder(QByteArrayView(lines.data(), qsizetype(lines.size()))));
    };
    PageText out;
    const bool html = kind == Kind::Html || (kind == Kind::Unknown && looksLikeMarkup(utf8));
    if (!xpath.isEmpty()) {
        if (!html) {
            out.status = PageText::NoMatch;
            out.matches = 0;
            return out;
        }
        const html_text::Selected selected =
            html_text::readSelected(utf8, xpath.toStdString(), withoutTbodySteps(xpath).toStdString());
        out.matches = selected.matches;
        out.status = selected.status == html_text::Selected::TooMuch         ? PageText::TooComplex
                     : selected.status == html_text::Selected::BadExpression ? PageText::BadSelector
                     : selected.matches == 0                                 ? PageText::NoMatch
                                                                             : PageText::Read;
        out.text = text(selected.text);
        return out;
    }
    if (!html) {
        out.text = text(html_text::cleanLines(utf8, true));
        return out;
    }
    std::string lines;
    if (!html_text::read(utf8, lines)) {
        out.status = PageText::TooComplex;
        return out;
    }
    out.text = text(lines);
    return out;
}

QString withoutDigits(QStringView s) {
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

// ---- Rules ---------------------------------------------------------------------------------------------

namespace {

// Rules look at the first 16 Ki characters of a line: with the match limit on every start position, that
// bounds the work of one pattern on one line however long the line is.
constexpr qsizetype kMatchedChars = 16 * 1024;
constexpr uint32_t kMatchLimit = 100'000;
constexpr uint32_t kDepthLimit = 10'000;

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
    // Rules beyond the first hundred, or longer than any a person writes, are not used (a list file may hold
    // them; the options dialog marks them).
    for (const QString& pattern : options.ignore.mid(0, kMaxIgnoreRules)) {
        if (pattern.isEmpty() || pattern.size() > kMaxRuleLength)
            continue; // an empty one would match every line
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
        return QCoreApplication::translate("TextRules", "Regola vuota");
    if (pattern.size() > kMaxRuleLength)
        return QCoreApplication::translate("TextRules", "Regola troppo lunga: al massimo %1 caratteri")
            .arg(kMaxRuleLength);
    const QRegularExpression re(pattern);
    if (re.isValid())
        return {};
    const qsizetype position = std::min(re.patternErrorOffset() + 1, pattern.size());
    return QCoreApplication::translate("TextRules", "Espressione non valida: %1 (posizione %2)")
        .arg(re.errorString())
        .arg(position);
}

namespace {

// The lines of a text, without copying them.
std::vector<QStringView> linesOf(QStringView text) {
    std::vector<QStringView> lines;
    if (text.isEmpty())
        return lines;
    lines.reserve(size_t(text.count(u'\n') + 1));
    for (qsizetype from = 0;;) {
        const qsizetype end = text.indexOf(u'\n', from);
        if (end < 0) {
            lines.push_back(text.sliced(from));
            return lines;
        }
        lines.push_back(text.sliced(from, end - from));
        from = end + 1;
    }
}

} // namespace

// The fate of each line: the region first, then the ignore rules on the lines of the region.
QList<LineFate> TextRules::fatesOf(const std::vector<QStringView>& lines, QStringList* limitHits) const {
    const SiteOptions& o = d->options;
    const qsizetype n = qsizetype(lines.size());
    QList<LineFate> fates(n, LineFate::Kept);

    // The region. A start text found on no line narrows nothing: the page changed so that the region cannot
    // be told, and a change is safer shown than hidden.
    qsizetype first = 0, last = n - 1;
    bool started = false;
    for (qsizetype i = 0; !o.start.isEmpty() && i < n && !started; ++i) {
        started = lines[size_t(i)].contains(o.start);
        first = started ? i : first;
    }
    for (qsizetype i = started ? first + 1 : 0; !o.end.isEmpty() && i < n; ++i) {
        if (lines[size_t(i)].contains(o.end)) {
            last = i;
            break;
        }
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (i < first || i > last)
            fates[i] = LineFate::OutsideRegion;
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
            const QStringView line = lines[size_t(i)];
            qsizetype length = std::min(line.size(), kMatchedChars);
            if (length < line.size() && line[length].isLowSurrogate())
                --length;
            for (size_t p = 0; p < d->patterns.size(); ++p) {
                const int rc = pcre2_match(d->patterns[p].second.get(), reinterpret_cast<PCRE2_SPTR>(line.utf16()),
                                           PCRE2_SIZE(length), 0, length < line.size() ? PCRE2_NOTEOL : 0,
                                           match.get(), context.get());
                if (rc >= 0) {
                    fates[i] = LineFate::Ignored;
                    break;
                }
                if ((rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
                     rc == PCRE2_ERROR_JIT_STACKLIMIT) &&
                    !hitLimit[p]) {
                    hitLimit[p] = true;
                    if (limitHits)
                        *limitHits << d->patterns[p].first;
                }
            }
        }
    }
    return fates;
}

// The kept lines joined by "\n", digits taken out when asked; a line left empty by that stays, as an empty line.
QString TextRules::keptText(const std::vector<QStringView>& lines, const QList<LineFate>& fates) const {
    QString kept;
    bool any = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (fates[qsizetype(i)] != LineFate::Kept)
            continue;
        if (any)
            kept += u'\n';
        kept += d->options.noDigits ? withoutDigits(lines[i]) : lines[i].toString();
        any = true;
    }
    return kept;
}

FilteredText TextRules::apply(const QString& text) const {
    FilteredText r;
    if (!text.isEmpty())
        r.lines = text.split(u'\n');
    std::vector<QStringView> views(r.lines.cbegin(), r.lines.cend());
    r.fates = fatesOf(views, &r.limitHits);
    r.text = keptText(views, r.fates);
    return r;
}

// The page fingerprint leaves out the last byte; a line end after the text makes its last character count.
qint32 TextRules::fingerprint(const QString& text) const {
    const SiteOptions& o = d->options;
    const bool whole = d->patterns.empty() && o.start.isEmpty() && o.end.isEmpty() && !o.noDigits;
    if (whole)
        return calcCRC32(text.toUtf8().append('\n'));
    const std::vector<QStringView> lines = linesOf(text);
    const QList<LineFate> fates = fatesOf(lines, nullptr);
    // Every line kept: the text itself, without building it again.
    const bool all =
        !o.noDigits && std::all_of(fates.cbegin(), fates.cend(), [](LineFate f) { return f == LineFate::Kept; });
    return calcCRC32((all ? text : keptText(lines, fates)).toUtf8().append('\n'));
}
