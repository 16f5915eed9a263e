#pragma once

#include <QByteArray>
#include <QList>

#include <utility>

// What a list file holds in an element that this version does not know: attributes and child elements that
// a later version added, kept as they were read (escaping included) so that a save gives them back.
struct UnknownXml {
    QByteArray attributes; // each as ` name="value"`, in the order read
    // Each child element as read, after how many of the children this version knows it came.
    QList<std::pair<qsizetype, QByteArray>> children;

    bool isEmpty() const { return attributes.isEmpty() && children.isEmpty(); }
    bool operator==(const UnknownXml&) const = default;
};
