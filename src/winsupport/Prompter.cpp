#include "winsupport/Prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompter::Icon::Critical:
        return QMessageBox::Critical;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString titleOrApplication(const QString& title) {
    return title.isEmpty() ? QApplication::applicationName() : title;
}

QString runFileDialog(const Prompter::FileRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(request.owner, request.title, request.initialDir);
    dialog.setAcceptMode(mode);
    // Unless asked to, the dialog does not ask about overwriting: the caller asks its own question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(request.flags & Prompter::kOverwritePrompt));
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = request.nameFilters();
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 0 && request.filterIndex < filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex));
    dialog.setDefaultSuffix(request.suffix());
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

// "XML files (*.xml)|*.xml|Lists|*.xml;*.qvl" gives "XML files (*.xml)" and "Lists (*.xml *.qvl)". A pair
// without a pattern, or a description without its pair, is left out.
QStringList Prompter::FileRequest::nameFilters() const {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        QStringList patterns = QString(parts.at(i + 1))
                                   .replace(QLatin1Char(';'), QLatin1Char(' '))
                                   .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (patterns.isEmpty())
            continue;
        // A description that already names its patterns, as "XML files (*.xml)" does, gets them once.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && description.endsWith(QLatin1Char(')'))) {
            const QStringList named = description.mid(open + 1, description.size() - open - 2)
                                          .replace(QLatin1Char(';'), QLatin1Char(' '))
                                          .split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (named == patterns)
                description = description.left(open).trimmed();
        }
        // "*.*" stands for every file there; Qt's "*.*" would leave out names without a dot.
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        result << QString(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + u')').trimmed();
    }
    return result;
}

QString Prompter::FileRequest::suffix() const {
    QString ext = defaultExt.trimmed();
    ext.remove(QLatin1Char('*'));
    while (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext;
}

void Prompter::messageDetail(Icon icon, const QString& title, const QString& text, const QString& detail,
                             QWidget* owner) {
    message(icon, title, detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail, owner);
}

std::optional<QColor> Prompter::chooseColor(const QColor&, QWidget*) {
    return std::nullopt;
}

std::optional<QFont> Prompter::chooseFont(const QFont&, QWidget*) {
    return std::nullopt;
}

QString Prompter::chooseFolder(const QString&, const QString&, QWidget*) {
    return {};
}

void WidgetPrompter::message(Icon icon, const QString& title, const QString& text, QWidget* owner) {
    QMessageBox box(boxIcon(icon), titleOrApplication(title), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void WidgetPrompter::messageDetail(Icon icon, const QString& title, const QString& text, const QString& detail,
                                   QWidget* owner) {
    QMessageBox box(boxIcon(icon), titleOrApplication(title), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(detail);
    box.exec();
}

bool WidgetPrompter::askYesNo(const QString& title, const QString& text, QWidget* owner) {
    QMessageBox box(QMessageBox::Question, titleOrApplication(title), text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString WidgetPrompter::openFileName(const FileRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

QString WidgetPrompter::saveFileName(const FileRequest& request) {
    return runFileDialog(request, QFileDialog::AcceptSave);
}

std::optional<QColor> WidgetPrompter::chooseColor(const QColor& initial, QWidget* owner) {
    const QColor color = QColorDialog::getColor(initial, owner);
    return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
}

std::optional<QFont> WidgetPrompter::chooseFont(const QFont& initial, QWidget* owner) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, owner);
    return ok ? std::optional<QFont>(font) : std::nullopt;
}

QString WidgetPrompter::chooseFolder(const QString& title, const QString& startDir, QWidget* owner) {
    return QFileDialog::getExistingDirectory(owner, title, startDir);
}
