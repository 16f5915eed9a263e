#pragma once

#include "ui/QvlCommand.h"

#include <QList>
#include <QObject>

#include <optional>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// The main window's menu bar, its popup menu and its toolbar, each entry bound to a command.
class MainMenus : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QAction* action;
        QvlCommand command;
        bool onToolbar;
    };

    // Builds everything into the window: the four menus of the menu bar, the popup (never in the menu bar)
    // and the toolbar docked along the top edge.
    explicit MainMenus(QMainWindow& window);

    QMenu* popup() const { return m_popup; }
    QToolBar* toolbar() const { return m_toolbar; }
    const QList<Entry>& entries() const { return m_entries; }
    // The toolbar button of a key ("Open", "Save", "Delete", "Edit", "Copy", "Paste", "Start"); compared
    // without regard to letter case. Null for an unknown key.
    QAction* toolbarButton(const QString& key) const;

signals:
    void command(QvlCommand command);

private:
    // An entry without a command is shown but runs nothing.
    QAction* addEntry(QMenu* menu, const QString& name, const QString& caption, std::optional<QvlCommand> bound);
    void buildToolbar(QMainWindow& window);

    QMenu* m_popup = nullptr;
    QToolBar* m_toolbar = nullptr;
    QList<Entry> m_entries;
};
