#pragma once

#include <QString>

// A site's selector: the part of its page whose text is watched, as an XPath 1.0 expression or a CSS selector.
enum class SelectorKind { XPath, Css };

// A selector made into the XPath that libxml2 evaluates, or why it cannot be (in Italian, for the options
// dialog and the check's failure: "Selettore non supportato: …").
struct SelectorXPath {
    QString xpath;
    QString error; // empty when xpath is usable
};

// CSS selectors are translated: type, #id, .class, *, [attr], [attr=v], ~=, ^=, $=, *=, descendant and '>'
// combinators, ',' groups, :first-child, :last-child and :nth-child(n). Anything else is refused as it was
// typed. An XPath expression is checked by compiling it.
SelectorXPath selectorXPath(SelectorKind kind, const QString& selector);

// The XPath with its tbody steps left out, for a tree that has none: browsers put tbody into every table
// and their developer tools copy it into selectors, the HTML parser does not. Empty when it has no such step.
QString withoutTbodySteps(const QString& xpath);
