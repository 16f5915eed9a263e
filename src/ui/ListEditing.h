#pragma once

#include "core/Outcome.h"

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

#include <functional>

class Prompter;
class QWidget;
class SiteList;
class frmDialog;

// The four list-editing commands (add, modify, delete, copy) and the toolbar's paste, on the site list and its
// selected entry. The entry dialog is shown through a runner, so tests fill and close it without a modal loop.
class ListEditing {
    Q_DECLARE_TR_FUNCTIONS(ListEditing)

public:
    // Shows the dialog and returns when it has been closed or hidden.
    using DialogRunner = std::function<void(frmDialog& dialog)>;
    // The error number of an add whose key is already taken.
    static constexpr int kDuplicateKey = 457;

    // The real runner: the dialog shown modally over its owner.
    static void runModally(frmDialog& dialog);

    ListEditing(SiteList& list, Prompter& prompter, QWidget* owner, DialogRunner runDialog = &runModally);

    void addURL();
    void modifyURL();
    void deleteURL();
    void copyURL();
    // The add dialog with the URL box filled from the clipboard's text when that is one line; OK adds it as if
    // it had been typed.
    void pasteURL();

private:
    // The add dialog, its URL box filled from the program when the text is not empty.
    void add(const QString& filledUrl);
    // Adds an entry with the dialog's texts at the end of the list; fails when its key is taken.
    Outcome insert(const frmDialog& dialog);
    void removeEntry(quint64 id);
    // The selected entry's identity, or 0 when there is none.
    quint64 selectedId() const;

    SiteList& m_list;
    Prompter& m_prompter;
    QWidget* m_owner;
    DialogRunner m_runDialog;
};
