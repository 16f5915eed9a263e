#include "ui/frmDialog.h"

#include "winsupport/Twips.h"

#include <QCompleter>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringListModel>

namespace {

// Designed positions and sizes, in twips.
constexpr int kClientWidth = 8070;
constexpr int kClientHeight = 1785;
constexpr int kLeft = 90;
constexpr int kBoxWidth = 7890;
constexpr int kBoxHeight = 285;
constexpr int kLabelHeight = 225;
constexpr int kButtonWidth = 1035;
constexpr int kButtonHeight = 330;

QFont namedFont(const QString& family) {
    QFont font;
    // Desktops without the designed face get a sans-serif one of similar width.
    font.setFamilies({family, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

// Keys that reach a text box as a character: what types, plus Backspace, Enter and Esc.
bool isCharacterKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return false;
    default:
        return !event->text().isEmpty();
    }
}

} // namespace

frmDialog::frmDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_urlLabel(new QLabel(tr("Digita l'indirizzo da aggiungere"), this))
    , m_url(new QLineEdit(this))
    , m_nickLabel(
          new QLabel(tr("Digita un nick per l'indirizzo (es. Meteo per https://www.meteo.example.org/)"), this))
    , m_nick(new QLineEdit(this))
    , m_descriptionLabel(new QLabel(tr("Digita una breve descrizione del link da aggiungere"), this))
    , m_description(new QLineEdit(this))
    , m_ok(new QPushButton(tr("OK"), this))
    , m_cancel(new QPushButton(tr("Annulla"), this)) {
    setObjectName(QStringLiteral("frmDialog"));
    setWindowTitle(tr("Add URL"));
    setAccessibleName(windowTitle());
    setModal(true);
    setFixedSize(twipsToPixels(kClientWidth, logicalDpiX()), twipsToPixels(kClientHeight, logicalDpiY()));

    const QFont textFont = namedFont(QStringLiteral("Verdana"));
    const QFont buttonFont = namedFont(QStringLiteral("Arial"));
    const struct {
        QWidget* widget;
        const char* name;
    } named[] = {{m_urlLabel, "Label1"}, {m_url, "txtNewURL"},           {m_nickLabel, "Label2"},
                 {m_nick, "txtNick"},    {m_descriptionLabel, "Label3"}, {m_description, "txtDescrizione"},
                 {m_ok, "OKButton"},     {m_cancel, "CancelButton"}};
    for (const auto& [widget, name] : named) {
        widget->setObjectName(QLatin1String(name));
        widget->setFont(widget == m_ok || widget == m_cancel ? buttonFont : textFont);
    }
    for (QLabel* label : {m_urlLabel, m_nickLabel, m_descriptionLabel}) {
        label->setTextFormat(Qt::PlainText);
        label->setAccessibleName(label->text());
    }
    m_url->setAccessibleName(m_urlLabel->text());
    m_nick->setAccessibleName(m_nickLabel->text());
    m_description->setAccessibleName(m_descriptionLabel->text());

    placeTwips(m_cancel, 5820, 45, kButtonWidth, kButtonHeight);
    placeTwips(m_ok, kLeft + kBoxWidth - kButtonWidth, 45, kButtonWidth, kButtonHeight);
    placeTwips(m_urlLabel, kLeft, 165, 5600, kLabelHeight);
    placeTwips(m_url, kLeft, 405, kBoxWidth, kBoxHeight);
    placeTwips(m_nickLabel, kLeft, 735, kBoxWidth, kLabelHeight);
    placeTwips(m_nick, kLeft, 960, kBoxWidth, kBoxHeight);
    placeTwips(m_descriptionLabel, kLeft, 1260, kBoxWidth, kLabelHeight);
    placeTwips(m_description, kLeft, 1485, kBoxWidth, kBoxHeight);

    setTabOrder(m_url, m_ok);
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_nick);
    setTabOrder(m_nick, m_description);
    m_url->setFocus();

    for (QLineEdit* box : {m_url, m_nick, m_description})
        box->installEventFilter(this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &frmDialog::reject);
    // The box's own text, not the signal's: a refused edit is announced after it was taken back.
    connect(m_description, &QLineEdit::textChanged, this, [this] { m_descriptionBefore = m_description->text(); });
    connect(m_description, &QLineEdit::textEdited, this, &frmDialog::refuseLongDescription);
}

void frmDialog::fill(const QString& url, const QString& nick, const QString& descrizione) {
    m_url->setText(url);
    m_nick->setText(nick);
    m_description->setText(descrizione);
}

void frmDialog::setUrlCompletions(const QStringList& urls) {
    auto* completer = new QCompleter(new QStringListModel(urls, this), this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    m_url->setCompleter(completer);
}

QString frmDialog::url() const {
    return m_url->text();
}

QString frmDialog::nick() const {
    return m_nick->text();
}

QString frmDialog::descrizione() const {
    return m_description->text();
}

void frmDialog::reject() {
    // "Annulla", Esc and the close box all land here.
    m_dirty = false;
    QDialog::reject();
}

bool frmDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched == m_description) {
        m_dirty = true;
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isCharacterKey(key))
            m_dirty = true;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_ok->click();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            m_cancel->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmDialog::refuseLongDescription(const QString& edited) {
    // Typing, pasting or dropping may not grow the description past the limit; a longer text the program
    // put in stays whole and may still be shortened.
    const QString before = m_descriptionBefore;
    if (edited.size() <= kMaxTypedDescription || edited.size() <= before.size())
        return;
    const int cursor = m_description->cursorPosition() - int(edited.size() - before.size());
    m_description->setText(before);
    m_description->setCursorPosition(qMax(0, cursor));
}
