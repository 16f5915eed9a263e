#include "ui/MainMenus.h"

#include "ui/ToolbarIcons.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

struct MenuItem {
    const char16_t* caption; // "-" for a separator
    QvlCommand command;
};

struct ToolButton {
    const char16_t* key;
    const char16_t* picture;
    const char16_t* tooltip;
    QvlCommand command;
};

constexpr QvlCommand kNone = QvlCommand::Open; // placeholder of separators; never run

} // namespace

MainMenus::MainMenus(QMainWindow& window)
    : QObject(&window) {
    struct Menu {
        const char16_t* name;
        const char16_t* caption;
        std::initializer_list<MenuItem> items;
    };
    const Menu menus[] = {
        {u"mnuFile",
         u"&File",
         {{u"&Open", QvlCommand::Open},
          {u"&Save", QvlCommand::Save},
          {u"Importa…", QvlCommand::Import},
          {u"-", kNone},
          {u"Op&tion", QvlCommand::SetTimer},
          {u"-", kNone},
          {u"&Exit", QvlCommand::Exit}}},
        {u"mnuEdit",
         u"&Edit",
         {{u"&Add URL", QvlCommand::AddUrl},
          {u"&Delete", QvlCommand::DeleteUrl},
          {u"&Modify selected URL", QvlCommand::ModifyUrl},
          {u"&Copy URL to Clipboard", QvlCommand::CopyUrl},
          {u"-", kNone},
          {u"Mostra &differenze", QvlCommand::ShowDiff},
          {u"Opzioni sito…", QvlCommand::SiteOptions}}},
        {u"mnuSelect",
         u"&Select",
         {{u"Select &All", QvlCommand::SelectAll},
          {u"&Deselect all items", QvlCommand::DeselectAll},
          {u"&Invert selection", QvlCommand::InvertSelection}}},
        {u"mnuHelp", u"&?", {{u"&Help", kNone}, {u"-", kNone}, {u"&About", QvlCommand::About}}},
        {u"mnuPopup1",
         u"Popup1",
         {{u"&Start", QvlCommand::Start},
          {u"S&top", QvlCommand::Stop},
          {u"-", kNone},
          {u"Seleziona tutti", QvlCommand::SelectAll},
          {u"Deseleziona tutti", QvlCommand::DeselectAll},
          {u"Inverti selezione", QvlCommand::InvertSelection},
          {u"-", kNone},
          {u"Aggiungi", QvlCommand::AddUrl},
          {u"Modifica", QvlCommand::ModifyUrl},
          {u"Elimina", QvlCommand::DeleteUrl},
          {u"&Copia", QvlCommand::CopyUrl},
          {u"-", kNone},
          {u"Esci", QvlCommand::ArmExit}}},
    };

    for (const Menu& m : menus) {
        const QString name = QString::fromUtf16(m.name);
        const bool isPopup = name == QLatin1String("mnuPopup1");
        // The popup is a context menu only: it is never added to the menu bar.
        QMenu* menu = isPopup ? new QMenu(QString::fromUtf16(m.caption), &window)
                              : window.menuBar()->addMenu(QString::fromUtf16(m.caption));
        menu->setObjectName(name);
        int index = 0;
        for (const MenuItem& item : m.items) {
            const QString caption = QString::fromUtf16(item.caption);
            const QString entryName = name + u'_' + QString::number(index++);
            if (caption == QLatin1String("-")) {
                menu->addSeparator()->setObjectName(entryName);
                continue;
            }
            QAction* action = addEntry(menu, entryName, caption, item.command);
            if (caption == QLatin1String("&Help"))
                action->setEnabled(false);
        }
        if (isPopup)
            m_popup = menu;
    }
    window.menuBar()->setObjectName(QStringLiteral("mnuBar"));

    // Keyboard habits on top of the menus' mnemonics.
    for (const Entry& e : std::as_const(m_entries)) {
        if (e.action->parent() == m_popup)
            continue;
        switch (e.command) {
        case QvlCommand::Open:
            e.action->setShortcut(QKeySequence::Open);
            break;
        case QvlCommand::Save:
            e.action->setShortcut(QKeySequence::Save);
            break;
        case QvlCommand::Exit:
            e.action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
            break;
        case QvlCommand::ShowDiff:
            e.action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
            break;
        default:
            break;
        }
    }
    buildToolbar(window);
}

QAction* MainMenus::addEntry(QMenu* menu, const QString& name, const QString& caption, QvlCommand cmd) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    // The help entry is there but runs nothing.
    if (caption == QLatin1String("&Help"))
        return action;
    m_entries.append({action, cmd, CommandOrigin::Menu});
    connect(action, &QAction::triggered, this, [this, cmd] { emit command(cmd, CommandOrigin::Menu); });
    return action;
}

void MainMenus::buildToolbar(QMainWindow& window) {
    m_toolbar = new QToolBar(&window);
    m_toolbar->setObjectName(QStringLiteral("tbToolbar"));
    m_toolbar->setWindowTitle(QStringLiteral("tbToolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    window.addToolBar(Qt::TopToolBarArea, m_toolbar);

    const ToolButton buttons[] = {
        {u"Open", u"Open", u"Apre un nuovo elenco degli indirizzi", QvlCommand::Open},
        {u"Save", u"Save", u"Salva l'elenco degli indirizzi", QvlCommand::Save},
        {nullptr, nullptr, nullptr, kNone},
        {u"Delete", u"Delete", u"Elimina la riga selezionata", QvlCommand::DeleteUrl},
        {u"Edit", u"Edit", u"Modifica l'URL selezionato", QvlCommand::ModifyUrl},
        {u"Copy", u"Copy", u"Copia l'url selezionato", QvlCommand::CopyUrl},
        {u"Paste", u"Paste", u"Scrive il contenuto della clipboard", QvlCommand::PasteUrl},
        {nullptr, nullptr, nullptr, kNone},
        {u"Start", u"Forward", u"Inizia la lettura delle pagine", QvlCommand::Start},
    };
    for (const ToolButton& b : buttons) {
        if (b.key == nullptr) {
            m_toolbar->addSeparator();
            continue;
        }
        const QString key = QString::fromUtf16(b.key);
        QAction* action = m_toolbar->addAction(ToolbarIcons::icon(QString::fromUtf16(b.picture)), key);
        action->setObjectName(QStringLiteral("tbToolbar_") + key);
        action->setToolTip(QString::fromUtf16(b.tooltip));
        if (QWidget* widget = m_toolbar->widgetForAction(action)) {
            widget->setObjectName(QStringLiteral("tbToolbar_") + key);
            widget->setAccessibleName(key);
        }
        const QvlCommand cmd = b.command;
        m_entries.append({action, cmd, CommandOrigin::Toolbar});
        connect(action, &QAction::triggered, this, [this, cmd] { emit command(cmd, CommandOrigin::Toolbar); });
    }
}

QAction* MainMenus::toolbarButton(const QString& key) const {
    for (const Entry& e : m_entries) {
        if (e.origin == CommandOrigin::Toolbar && e.action->text().compare(key, Qt::CaseInsensitive) == 0)
            return e.action;
    }
    return nullptr;
}
