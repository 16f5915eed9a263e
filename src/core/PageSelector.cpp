#include "core/PageSelector.h"

#include <libxml/xpath.h>

#include <QRegularExpression>

#include <memory>

namespace {

// A CSS selector read left to right into XPath; fails at the first thing outside the subset.
class CssReader {
public:
    explicit CssReader(const QString& css)
        : m_s(css) {}

    SelectorXPath translate() {
        QStringList paths;
        while (true) {
            QString path;
            if (!readSequence(path))
                return refuse();
            paths << path;
            skipBlanks();
            if (m_i == m_s.size())
                break;
            if (m_s[m_i] != u',')
                return refuse();
            ++m_i;
        }
        return {paths.join(QStringLiteral(" | ")), {}};
    }

private:
    const QString& m_s;
    qsizetype m_i = 0;

    SelectorXPath refuse() const {
        const QString rest = m_s.mid(m_i).trimmed();
        return {{}, QStringLiteral("Selettore non supportato: %1").arg(rest.isEmpty() ? m_s.trimmed() : rest)};
    }
    bool at(char16_t c) const { return m_i < m_s.size() && m_s[m_i] == c; }
    void skipBlanks() {
        while (m_i < m_s.size() && m_s[m_i].isSpace())
            ++m_i;
    }
    static bool isNameChar(QChar c) {
        return c.isLetterOrNumber() || c == u'-' || c == u'_' || c.unicode() >= 0x80;
    }
    QString name() {
        const qsizetype from = m_i;
        while (m_i < m_s.size() && isNameChar(m_s[m_i]))
            ++m_i;
        return m_s.sliced(from, m_i - from);
    }
    // An XPath string literal for any text: XPath 1.0 has no escapes, so a text with both quotes is a concat().
    static QString literal(const QString& v) {
        if (!v.contains(u'\''))
            return u'\'' + v + u'\'';
        if (!v.contains(u'"'))
            return u'"' + v + u'"';
        QStringList parts;
        for (const QString& piece : v.split(u'\''))
            parts << u'\'' + piece + u'\'';
        return QStringLiteral("concat(%1)").arg(parts.join(QStringLiteral(", \"'\", ")));
    }
    static QString hasWord(const QString& attribute, const QString& word) {
        return QStringLiteral("[contains(concat(' ', normalize-space(%1), ' '), %2)]")
            .arg(attribute, literal(u' ' + word + u' '));
    }

    // Compounds joined by combinators: a blank for a descendant, '>' for a child.
    bool readSequence(QString& path) {
        skipBlanks();
        QString step;
        if (!readCompound(step))
            return false;
        path = QStringLiteral("//") + step;
        while (true) {
            const qsizetype before = m_i;
            skipBlanks();
            if (m_i == m_s.size() || at(u','))
                return true;
            QString axis = QStringLiteral("//");
            if (at(u'>')) {
                axis = QStringLiteral("/");
                ++m_i;
                skipBlanks();
            } else if (m_i == before) {
                return false; // '+', '~' or anything else right after a compound
            }
            if (!readCompound(step))
                return false;
            path += axis + step;
        }
    }

    bool readCompound(QString& step) {
        QString type = QStringLiteral("*");
        QString predicates;
        if (at(u'*')) {
            ++m_i;
        } else if (m_i < m_s.size() && isNameChar(m_s[m_i])) {
            type = name().toLower(); // the parser gives names in lower case
        } else if (!(at(u'#') || at(u'.') || at(u'[') || at(u':'))) {
            return false;
        }
        while (m_i < m_s.size()) {
            const qsizetype start = m_i;
            if (at(u'#')) {
                ++m_i;
                const QString id = name();
                if (id.isEmpty())
                    return (m_i = start), false;
                predicates += QStringLiteral("[@id=%1]").arg(literal(id));
            } else if (at(u'.')) {
                ++m_i;
                const QString cls = name();
                if (cls.isEmpty())
                    return (m_i = start), false;
                predicates += hasWord(QStringLiteral("@class"), cls);
            } else if (at(u'[')) {
                if (!readAttribute(predicates))
                    return (m_i = start), false;
            } else if (at(u':')) {
                if (!readPseudo(predicates))
                    return (m_i = start), false;
            } else {
                break;
            }
        }
        step = type + predicates;
        return true;
    }

    bool readAttribute(QString& predicates) {
        ++m_i;
        skipBlanks();
        const QString attribute = u'@' + name().toLower();
        if (attribute.size() == 1)
            return false;
        skipBlanks();
        if (at(u']')) {
            ++m_i;
            predicates += u'[' + attribute + u']';
            return true;
        }
        QString op;
        for (const char* o : {"~=", "^=", "$=", "*=", "="}) {
            if (m_s.mid(m_i).startsWith(QLatin1String(o))) {
                op = QLatin1String(o);
                break;
            }
        }
        if (op.isEmpty())
            return false;
        m_i += op.size();
        skipBlanks();
        QString value;
        if (at(u'"') || at(u'\'')) {
            const QChar quote = m_s[m_i++];
            const qsizetype end = m_s.indexOf(quote, m_i);
            if (end < 0 || m_s.sliced(m_i, end - m_i).contains(u'\\'))
                return false;
            value = m_s.sliced(m_i, end - m_i);
            m_i = end + 1;
        } else {
            value = name();
            if (value.isEmpty())
                return false;
        }
        skipBlanks();
        if (!at(u']'))
            return false; // flags such as "i" are not in the subset
        ++m_i;
        const QString v = literal(value);
        if (op == u"=")
            predicates += QStringLiteral("[%1=%2]").arg(attribute, v);
        else if (op == u"~=")
            predicates += hasWord(attribute, value);
        else if (op == u"^=")
            predicates += QStringLiteral("[starts-with(%1, %2)]").arg(attribute, v);
        else if (op == u"*=")
            predicates += QStringLiteral("[contains(%1, %2)]").arg(attribute, v);
        else
            predicates += QStringLiteral("[substring(%1, string-length(%1) - string-length(%2) + 1) = %2]")
                              .arg(attribute, v);
        return true;
    }

    bool readPseudo(QString& predicates) {
        static const QRegularExpression nth(QStringLiteral("^:nth-child\\(\\s*([1-9][0-9]{0,5})\\s*\\)"));
        const QString rest = m_s.mid(m_i);
        if (rest.startsWith(QLatin1String(":first-child")) &&
            !(m_i + 12 < m_s.size() && isNameChar(m_s[m_i + 12]))) {
            m_i += 12;
            predicates += QStringLiteral("[not(preceding-sibling::*)]");
            return true;
        }
        if (rest.startsWith(QLatin1String(":last-child")) &&
            !(m_i + 11 < m_s.size() && isNameChar(m_s[m_i + 11]))) {
            m_i += 11;
            predicates += QStringLiteral("[not(following-sibling::*)]");
            return true;
        }
        if (const QRegularExpressionMatch m = nth.match(rest); m.hasMatch()) {
            m_i += m.capturedLength();
            predicates += QStringLiteral("[count(preceding-sibling::*) = %1]").arg(m.captured(1).toInt() - 1);
            return true;
        }
        return false;
    }
};

void quiet(void*, xmlErrorPtr) {}

} // namespace

SelectorXPath selectorXPath(SelectorKind kind, const QString& selector) {
    if (selector.trimmed().isEmpty())
        return {{}, QStringLiteral("Selettore non supportato: %1").arg(selector)};
    SelectorXPath out = kind == SelectorKind::Css ? CssReader(selector).translate() : SelectorXPath{selector, {}};
    if (!out.error.isEmpty())
        return out;
    // Compiled against an empty document's context, whose error handler keeps libxml2 from printing.
    const std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(xmlXPathNewContext(nullptr),
                                                                                   &xmlXPathFreeContext);
    context->error = &quiet;
    const QByteArray utf8 = out.xpath.toUtf8();
    xmlXPathCompExprPtr compiled =
        xmlXPathCtxtCompile(context.get(), reinterpret_cast<const xmlChar*>(utf8.constData()));
    if (!compiled)
        return {{}, QStringLiteral("Selettore non supportato: %1").arg(selector.trimmed())};
    xmlXPathFreeCompExpr(compiled);
    return out;
}

QString withoutTbodySteps(const QString& xpath) {
    static const QRegularExpression step(QStringLiteral("/tbody(\\[\\s*1\\s*\\])?(?=/)"));
    QString out = xpath;
    out.remove(step);
    return out == xpath ? QString() : out;
}
