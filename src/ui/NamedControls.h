#pragma once

#include <QLabel>
#include <QString>

// Controls named as the dialogs name them: the objectName a test or a script finds, and the name assistive
// technology reads.
template <typename W> W* named(W* widget, const QString& name, const QString& accessible) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    return widget;
}

// A wrapping label that never reads its text as markup; its accessible name is its text without the '&'.
inline QLabel* plainLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name, QString(text).remove(u'&'));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}
