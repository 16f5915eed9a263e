#include "ui/frmDiff.h"

#include "core/Language.h"
#include "core/PageText.h"
#include "ui/PlainTextLines.h"
#include "winsupport/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

QString countText(int changed, int ignored, bool addedOnly) {
    QString text;
    if (changed == 0)
        text = addedOnly ? frmDiff::tr("Nessuna riga aggiunta") : frmDiff::tr("Nessuna riga cambiata");
    else if (changed == 1)
        text = addedOnly ? frmDiff::tr("1 riga aggiunta") : frmDiff::tr("1 riga cambiata");
    else
        text = (addedOnly ? frmDiff::tr("%1 righe aggiunte") : frmDiff::tr("%1 righe cambiate")).arg(changed);
    if (ignored == 1)
        text += frmDiff::tr(" (1 ignorata)");
    else if (ignored > 1)
        text += frmDiff::tr(" (%1 ignorate)").arg(ignored);
    return text;
}

template <typename W> W* named(W* widget, const QString& name, const QString& accessible) {
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    return widget;
}

} // namespace

frmDiff::frmDiff(const QString& url, const QString& nick, const PageHistory* history, const SiteOptions& options,
                 QWidget* owner)
    : QDialog(owner, Qt::Window)
    , m_url(url)
    , m_history(history)
    , m_options(options)
    , m_cboPrima(named(new QComboBox(this), QStringLiteral("cboPrima"), tr("Versione precedente")))
    , m_cboDopo(named(new QComboBox(this), QStringLiteral("cboDopo"), tr("Versione successiva")))
    , m_chkAggiunte(named(new QCheckBox(tr("Solo righe &aggiunte"), this), QStringLiteral("chkAggiunte"),
                          tr("Solo righe aggiunte")))
    , m_cmdPrecedente(named(new QPushButton(tr("Modifica &precedente"), this), QStringLiteral("cmdPrecedente"),
                            tr("Modifica precedente")))
    , m_cmdSuccessiva(named(new QPushButton(tr("Modifica &successiva"), this), QStringLiteral("cmdSuccessiva"),
                            tr("Modifica successiva")))
    , m_lblConteggio(named(new QLabel(this), QStringLiteral("lblConteggio"), tr("Righe cambiate")))
    , m_txtDiff(named(new QPlainTextEdit(this), QStringLiteral("txtDiff"), tr("Differenze"))) {
    setObjectName(QStringLiteral("frmDiff"));
    setAccessibleName(tr("Differenze"));
    // Titles are plain text on every platform.
    setWindowTitle(tr("Differenze - %1").arg(nick.trimmed().isEmpty() ? url : nick));
    setAttribute(Qt::WA_DeleteOnClose);
    // Return belongs to the control that has the focus, not to a default button.
    for (QPushButton* button : {m_cmdPrecedente, m_cmdSuccessiva})
        button->setAutoDefault(false);

    m_lblConteggio->setTextFormat(Qt::PlainText);
    m_txtDiff->setReadOnly(true);
    m_txtDiff->setUndoRedoEnabled(false);
    m_txtDiff->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_cboPrima->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_cboDopo->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto* lblPrima = named(new QLabel(tr("Pri&ma:"), this), QStringLiteral("lblPrima"), tr("Prima"));
    auto* lblDopo = named(new QLabel(tr("D&opo:"), this), QStringLiteral("lblDopo"), tr("Dopo"));
    lblPrima->setBuddy(m_cboPrima);
    lblDopo->setBuddy(m_cboDopo);
    auto* versions = new QHBoxLayout;
    versions->addWidget(lblPrima);
    versions->addWidget(m_cboPrima);
    versions->addSpacing(12);
    versions->addWidget(lblDopo);
    versions->addWidget(m_cboDopo);
    versions->addStretch(1);
    versions->addWidget(m_lblConteggio);
    auto* moves = new QHBoxLayout;
    moves->addWidget(m_cmdPrecedente);
    moves->addWidget(m_cmdSuccessiva);
    moves->addSpacing(12);
    moves->addWidget(m_chkAggiunte);
    moves->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(versions);
    layout->addLayout(moves);
    layout->addWidget(m_txtDiff, 1);
    resize(twipsToPixels(10500, logicalDpiX()), twipsToPixels(7200, logicalDpiY()));

    connect(m_cboPrima, &QComboBox::currentIndexChanged, this, &frmDiff::compare);
    connect(m_cboDopo, &QComboBox::currentIndexChanged, this, &frmDiff::compare);
    connect(m_chkAggiunte, &QCheckBox::toggled, this, &frmDiff::render);
    connect(m_cmdPrecedente, &QPushButton::clicked, this, &frmDiff::previousChange);
    connect(m_cmdSuccessiva, &QPushButton::clicked, this, &frmDiff::nextChange);
    connect(m_txtDiff, &QPlainTextEdit::cursorPositionChanged, this, &frmDiff::updateButtons);
    auto* closeKey = new QAction(this);
    closeKey->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(closeKey, &QAction::triggered, this, &QWidget::close);
    addAction(closeKey);
    reload(options);
}

void frmDiff::reload(const SiteOptions& options) {
    m_options = options;
    std::vector<PageVersion> stored = m_history ? m_history->versions(m_url) : std::vector<PageVersion>{};
    m_versions.assign(std::make_move_iterator(stored.rbegin()), std::make_move_iterator(stored.rend()));
    const QSignalBlocker blockPrima(m_cboPrima);
    const QSignalBlocker blockDopo(m_cboDopo);
    m_cboPrima->clear();
    m_cboDopo->clear();
    const QLocale locale;
    for (const PageVersion& version : m_versions) {
        QString when = locale.toString(version.checked.toLocalTime(), QLocale::ShortFormat);
        if (version.truncated)
            when += tr(" (troncata)");
        m_cboPrima->addItem(when);
        m_cboDopo->addItem(when);
    }
    const bool comparable = m_versions.size() >= 2;
    for (QWidget* control : std::initializer_list<QWidget*>{m_cboPrima, m_cboDopo, m_chkAggiunte})
        control->setEnabled(comparable);
    if (m_versions.empty()) {
        showMessage(tr("Nessuna cronologia per questa pagina."));
        return;
    }
    if (!comparable) {
        showMessage(tr("Nessuna versione precedente da confrontare."));
        return;
    }
    m_cboDopo->setCurrentIndex(0);
    m_cboPrima->setCurrentIndex(1);
    compare();
}

void frmDiff::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The view knows its height only now: the change it opens at comes to its middle, with what precedes it.
    QTimer::singleShot(0, this, [this] { m_txtDiff->centerCursor(); });
}

void frmDiff::showMessage(const QString& text) {
    m_diff.clear();
    m_shown.clear();
    m_changeStarts.clear();
    m_lblConteggio->clear();
    m_txtDiff->setPlainText(text);
    updateButtons();
}

void frmDiff::compare() {
    const int before = m_cboPrima->currentIndex();
    const int after = m_cboDopo->currentIndex();
    if (before < 0 || after < 0 || size_t(before) >= m_versions.size() || size_t(after) >= m_versions.size())
        return;
    // The rules mark lines only for a site judged by its text: by its bytes, every line counts.
    std::unique_ptr<TextRules> rules;
    if (m_options.textMode)
        rules = std::make_unique<TextRules>(m_options);
    m_diff = diffTexts(m_versions[before].text, m_versions[after].text, rules.get());
    render();
}

void frmDiff::render() {
    const bool addedOnly = m_chkAggiunte->isChecked();
    m_shown.clear();
    m_changeStarts.clear();
    int changed = 0;
    int ignored = 0;
    for (const DiffLine& line : m_diff) {
        if (addedOnly && line.kind != DiffLine::Kind::Added)
            continue;
        if (isChange(line)) {
            if (m_shown.empty() || !isChange(m_shown.back()))
                m_changeStarts.push_back(int(m_shown.size()));
            ++changed;
        } else if (line.ignored && line.kind != DiffLine::Kind::Same) {
            ++ignored;
        }
        m_shown.push_back(line);
    }
    m_lblConteggio->setText(countText(changed, ignored, addedOnly));

    QTextCharFormat plain;
    const QTextCharFormat greyed = PlainTextLines::leftOut(m_txtDiff->palette());
    const QTextCharFormat label = PlainTextLines::leftOutLabel(m_txtDiff->palette());
    const PlainTextLines::Tints tints = PlainTextLines::tints(m_txtDiff->palette());

    QTextDocument* document = m_txtDiff->document();
    const QSignalBlocker quiet(m_txtDiff);
    document->clear();
    QTextCursor cursor(document);
    // One edit block: the layout runs once for the whole text, not once per line. Runs of unchanged lines go
    // in as one text: a page with few changes is mostly such runs.
    cursor.beginEditBlock();
    bool first = true;
    const auto startBlock = [&](const QTextBlockFormat& format) {
        if (first)
            cursor.setBlockFormat(format);
        else
            cursor.insertBlock(format, plain);
        first = false;
    };
    QString run;
    int runLines = 0;
    const auto flush = [&] {
        if (runLines == 0)
            return;
        startBlock(QTextBlockFormat());
        cursor.insertText(run, plain);
        run.clear();
        runLines = 0;
    };
    for (const DiffLine& line : m_shown) {
        const bool removed = line.kind == DiffLine::Kind::Removed;
        const bool added = line.kind == DiffLine::Kind::Added;
        const QString text = PlainTextLines::oneBlock(line.text);
        if (!removed && !added && !line.ignored) {
            if (runLines++ > 0)
                run += u'\n';
            run += QStringLiteral("  ") + text;
            continue;
        }
        flush();
        QTextBlockFormat block;
        if (!line.ignored && (removed || added))
            block.setBackground(removed ? tints.removedLine : tints.addedLine);
        startBlock(block);

        QString prefix = removed ? QStringLiteral("- ") : added ? QStringLiteral("+ ") : QStringLiteral("  ");
        if (addedOnly)
            prefix =
                QStringLiteral("+") + QString::number(line.newNumber).rightJustified(6) + QStringLiteral("  ");
        const QTextCharFormat& base = line.ignored ? greyed : plain;
        cursor.insertText(prefix, base);
        if (line.ignored || line.words.isEmpty()) {
            cursor.insertText(text, base);
        } else {
            QTextCharFormat strong;
            strong.setFontWeight(QFont::Bold);
            strong.setBackground(removed ? tints.removedWords : tints.addedWords);
            qsizetype at = 0;
            for (const DiffSpan& span : line.words) {
                const qsizetype start = qBound<qsizetype>(at, span.start, text.size());
                const qsizetype end = qBound<qsizetype>(start, qsizetype(span.start) + span.length, text.size());
                cursor.insertText(text.mid(at, start - at), plain);
                cursor.insertText(text.mid(start, end - start), strong);
                at = end;
            }
            cursor.insertText(text.mid(at), plain);
        }
        if (line.ignored)
            cursor.insertText(Language::text("PlainTextLines", PlainTextLines::kIgnoredLabel), label);
    }
    flush();
    cursor.endEditBlock();
    // The window opens at the first change.
    if (!m_changeStarts.empty())
        moveToBlock(m_changeStarts.front());
    else
        moveToBlock(0);
}

void frmDiff::moveToBlock(int block) {
    QTextCursor cursor(m_txtDiff->document()->findBlockByNumber(block));
    m_txtDiff->setTextCursor(cursor);
    m_txtDiff->centerCursor();
    updateButtons();
}

bool frmDiff::previousChange() {
    const int current = m_txtDiff->textCursor().blockNumber();
    for (auto it = m_changeStarts.rbegin(); it != m_changeStarts.rend(); ++it) {
        if (*it < current) {
            moveToBlock(*it);
            return true;
        }
    }
    return false;
}

bool frmDiff::nextChange() {
    const int current = m_txtDiff->textCursor().blockNumber();
    for (const int start : m_changeStarts) {
        if (start > current) {
            moveToBlock(start);
            return true;
        }
    }
    return false;
}

void frmDiff::updateButtons() {
    const int current = m_txtDiff->textCursor().blockNumber();
    m_cmdPrecedente->setEnabled(!m_changeStarts.empty() && m_changeStarts.front() < current);
    m_cmdSuccessiva->setEnabled(!m_changeStarts.empty() && m_changeStarts.back() > current);
}
