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
    const char* caption; // source text; "-" for a separator
    QvlCommand command;
};

struct ToolButton {
    const char16_t* key;
    const char16_t* picture;
    const char* caption; // what assistive technology calls the button
    const char* tooltip;
    QvlCommand command;
};

constexpr QvlCommand kNone = QvlCommand::Open; // placeholder of separators; never run

} // namespace

MainMenus::MainMenus(QMainWindow& window)
    : QObject(&window) {
    struct Menu {
        const char16_t* name;
        const char* caption;
        std::initializer_list<MenuItem> items;
    };
    const Menu menus[] = {
        {u"mnuFile",
         QT_TR_NOOP("&File"),
         {{QT_TR_NOOP("&Open"), QvlCommand::Open},
          {QT_TR_NOOP("&Save"), QvlCommand::Save},
          {QT_TR_NOOP("I&mporta…"), QvlCommand::Import},
          {"-", kNone},
          {QT_TR_NOOP("Op&tion"), QvlCommand::SetTimer},
          {"-", kNone},
          {QT_TR_NOOP("&Exit"), QvlCommand::Exit}}},
        {u"mnuEdit",
         QT_TR_NOOP("&Edit"),
         {{QT_TR_NOOP("&Add URL"), QvlCommand::AddUrl},
          {QT_TR_NOOP("&Delete"), QvlCommand::DeleteUrl},
          {QT_TR_NOOP("&Modify selected URL"), QvlCommand::ModifyUrl},
          {QT_TR_NOOP("&Copy URL to Clipboard"), QvlCommand::CopyUrl},
          {"-", kNone},
          {QT_TR_NOOP("Mostra d&ifferenze"), QvlCommand::ShowDiff},
          {QT_TR_NOOP("&Opzioni sito…"), QvlCommand::SiteOptions}}},
        {u"mnuSelect",
         QT_TR_NOOP("&Select"),
         {{QT_TR_NOOP("Select &All"), QvlCommand::SelectAll},
          {QT_TR_NOOP("&Deselect all items"), QvlCommand::DeselectAll},
          {QT_TR_NOOP("&Invert selection"), QvlCommand::InvertSelection}}},
        {u"mnuHelp",
         QT_TR_NOOP("&?"),
         {{QT_TR_NOOP("&Help"), kNone}, {"-", kNone}, {QT_TR_NOOP("&About"), QvlCommand::About}}},
        {u"mnuPopup1",
         QT_TR_NOOP("Popup1"),
         {{QT_TR_NOOP("&Start"), QvlCommand::Start},
          {QT_TR_NOOP("S&top"), QvlCommand::Stop},
          {"-", kNone},
          {QT_TR_NOOP("Seleziona tutti"), QvlCommand::SelectAll},
          {QT_TR_NOOP("Deseleziona tutti"), QvlCommand::DeselectAll},
          {QT_TR_NOOP("Inverti selezione"), QvlCommand::InvertSelection},
          {"-", kNone},
          {QT_TR_NOOP("Aggiungi"), QvlCommand::AddUrl},
          {QT_TR_NOOP("Modifica"), QvlCommand::ModifyUrl},
          {QT_TR_NOOP("Elimina"), QvlCommand::DeleteUrl},
          {QT_TR_NOOP("&Copia"), QvlCommand::CopyUrl},
          {"-", kNone},
          {QT_TR_NOOP("Esci"), QvlCommand::ArmExit}}},
    };

    for (const Menu& m : menus) {
        const QString name = QString::fromUtf16(m.name);
        const bool isPopup = name == QLatin1String("mnuPopup1");
        // The popup is a context menu only: it is never added to the menu bar.
        QMenu* menu = isPopup ? new QMenu(tr(m.caption), &window) : window.menuBar()->addMenu(tr(m.caption));
        menu->setObjectName(name);
        int index = 0;
        for (const MenuItem& item : m.items) {
            const QString entryName = name + u'_' + QString::number(index++);
            if (qstrcmp(item.caption, "-") == 0) {
                menu->addSeparator()->setObjectName(entryName);
                continue;
            }
            // The help entry is there but runs nothing.
            const bool help = qstrcmp(item.caption, "&Help") == 0;
            QAction* action =
                addEntry(menu, entryName, tr(item.caption), help ? std::nullopt : std::optional(item.command));
            action->setEnabled(!help);
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

QAction* MainMenus::addEntry(QMenu* menu, const QString& name, const QString& caption,
                             std::optional<QvlCommand> bound) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!bound)
        return action;
    const QvlCommand cmd = *bound;
    m_entries.append({action, cmd, false});
    connect(action, &QAction::triggered, this, [this, cmd] { emit command(cmd); });
    return action;
}

void MainMenus::buildToolbar(QMainWindow& window) {
    m_toolbar = new QToolBar(&window);
    m_toolbar->setObjectName(QStringLiteral("tbToolbar"));
    m_toolbar->setWindowTitle(tr("Toolbar"));
    m_toolbar->setMovable(false);
    m_toolbar->setFloatable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    window.addToolBar(Qt::TopToolBarArea, m_toolbar);

    const ToolButton buttons[] = {
        {u"Open", u"Open", QT_TR_NOOP("Open"), QT_TR_NOOP("Apre un nuovo elenco degli indirizzi"),
         QvlCommand::Open},
        {u"Save", u"Save", QT_TR_NOOP("Save"), QT_TR_NOOP("Salva l'elenco degli indirizzi"), QvlCommand::Save},
        {nullptr, nullptr, nullptr, nullptr, kNone},
        {u"Delete", u"Delete", QT_TR_NOOP("Delete"), QT_TR_NOOP("Elimina la riga selezionata"),
         QvlCommand::DeleteUrl},
        {u"Edit", u"Edit", QT_TR_NOOP("Edit"), QT_TR_NOOP("Modifica l'URL selezionato"), QvlCommand::ModifyUrl},
        {u"Copy", u"Copy", QT_TR_NOOP("Copy"), QT_TR_NOOP("Copia l'url selezionato"), QvlCommand::CopyUrl},
        {u"Paste", u"Paste", QT_TR_NOOP("Paste"), QT_TR_NOOP("Scrive il contenuto della clipboard"),
         QvlCommand::PasteUrl},
        {nullptr, nullptr, nullptr, nullptr, kNone},
        {u"Start", u"Forward", QT_TR_NOOP("Start"), QT_TR_NOOP("Inizia la lettura delle pagine"),
         QvlCommand::Start},
    };
    for (const ToolButton& b : buttons) {
        if (b.key == nullptr) {
            m_toolbar->addSeparator();
            continue;
        }
        const QString key = QString::fromUtf16(b.key);
        QAction* action = m_toolbar->addAction(ToolbarIcons::icon(QString::fromUtf16(b.picture)), tr(b.caption));
        action->setObjectName(QStringLiteral("tbToolbar_") + key);
        action->setData(key);
        action->setToolTip(tr(b.tooltip));
        if (QWidget* widget = m_toolbar->widgetForAction(action)) {
            widget->setObjectName(QStringLiteral("tbToolbar_") + key);
            widget->setAccessibleName(tr(b.caption));
        }
        const QvlCommand cmd = b.command;
        m_entries.append({action, cmd, true});
        connect(action, &QAction::triggered, this, [this, cmd] { emit command(cmd); });
    }
}

QAction* MainMenus::toolbarButton(const QString& key) const {
    for (const Entry& e : m_entries) {
        if (e.onToolbar && e.action->data().toString().compare(key, Qt::CaseInsensitive) == 0)
            return e.action;
    }
    return nullptr;
}
