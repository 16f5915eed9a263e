// libFuzzer target: page text extraction on any bytes, read as HTML, as plain text, by sniffing or as Latin-1,
// and a site's rules applied to the text. A broken promise aborts, as a sanitizer report would: every line of
// the text is trimmed, non-empty, with single blanks as its only white space; plain text read again is itself;
// the rules give one fate per line, a region in one piece and the kept lines as the text.
#include "core/PageText.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

void checkClean(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n') {
            check(i > 0 && i + 1 < text.size() && text[i - 1] != u'\n');
        } else if (c.isSpace()) {
            check(c == u' ' && i > 0 && i + 1 < text.size());
            check(!text[i - 1].isSpace() && !text[i + 1].isSpace());
        }
    }
}

void checkRules(const QString& text, bool noDigits) {
    SiteOptions options;
    options.ignore = QStringList{QStringLiteral("^\\d+$"), QStringLiteral("(a|aa)+$"), QStringLiteral("["),
                                 QStringLiteral("x.*y"), QStringLiteral("(?i)^\\s*copyright")};
    options.start = QStringLiteral("a");
    options.end = QStringLiteral("b");
    options.noDigits = noDigits;
    const FilteredText r = TextRules(options).apply(text);
    check(r.lines.size() == r.fates.size() && r.lines.join(u'\n') == text);
    int changes = 0;
    QStringList kept;
    for (qsizetype i = 0; i < r.fates.size(); ++i) {
        changes += i > 0 && (r.fates[i - 1] == LineFate::OutsideRegion) != (r.fates[i] == LineFate::OutsideRegion);
        if (r.fates[i] == LineFate::Kept)
            kept << r.lines[i];
    }
    check(changes <= 2);
    if (!noDigits)
        check(r.text == kept.join(u'\n'));
    check(r.text.count(u'\n') == std::max<qsizetype>(0, kept.size() - 1));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const QByteArray types[] = {"text/html", "text/plain", "", "text/html; charset=iso-8859-1"};
    const std::uint8_t mode = data[0];
    const QByteArrayView body(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const QString text = extractPageText(body, types[mode % 4]).text;
    checkClean(text);
    if (!text.startsWith(QChar(0xFEFF))) // that would be read as a byte order mark
        check(extractPageText(text.toUtf8(), "text/plain").text == text);
    checkRules(text, mode & 4);
    return 0;
}
