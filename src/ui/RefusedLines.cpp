#include "ui/RefusedLines.h"

#include "ui/PlainTextLines.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {
constexpr int kErrorsNamed = 3;
}

QList<int> markRefusedLines(QPlainTextEdit& editor, QLabel& report,
                            const std::function<QString(const QString& line)>& problem, const QString& footer) {
    QList<int> refused;
    QStringList errors;
    QList<QTextEdit::ExtraSelection> marks;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().trimmed().isEmpty())
            continue;
        const QString error = problem(block.text());
        if (error.isEmpty())
            continue;
        refused << block.blockNumber() + 1;
        if (errors.size() < kErrorsNamed)
            errors << QCoreApplication::translate("frmSiteOptions", "Riga %1: %2")
                          .arg(block.blockNumber() + 1)
                          .arg(error);
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(block);
        mark.format.setBackground(PlainTextLines::tints(editor.palette()).invalidLine);
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks << mark;
    }
    editor.setExtraSelections(marks);
    if (refused.size() > kErrorsNamed)
        errors << QCoreApplication::translate("frmSiteOptions", "…e altre %1 righe non valide.")
                      .arg(refused.size() - kErrorsNamed);
    if (!errors.isEmpty() && !footer.isEmpty())
        errors << footer;
    report.setText(errors.join(u'\n'));
    report.setVisible(!errors.isEmpty());
    return refused;
}
