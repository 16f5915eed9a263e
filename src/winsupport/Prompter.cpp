#include "winsupport/Prompter.h"

#include <QApplication>
#include <QFileDialog>
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

// "XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl" -> Qt's "XML files (*.xml);;Quovel files (*.qvl)".
QStringList qtFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts.at(i);
        const QString& pattern = parts.at(i + 1);
        result << (description.contains(pattern) ? description
                                                 : description + QStringLiteral(" (") + pattern + u')');
    }
    return result;
}

QString runFileDialog(const Prompter::FileRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(request.owner, request.title, request.initialDir);
    dialog.setAcceptMode(mode);
    // The caller asks its own overwrite question; the dialog must not ask a second time.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    const QStringList filters = qtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 0 && request.filterIndex < filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex));
    QString ext = request.defaultExt;
    ext.remove(QLatin1Char('*')).remove(QLatin1Char('.'));
    dialog.setDefaultSuffix(ext);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

void WidgetPrompter::message(Icon icon, const QString& title, const QString& text, QWidget* owner) {
    QMessageBox box(boxIcon(icon), titleOrApplication(title), text, QMessageBox::Ok, owner);
    box.setTextFormat(Qt::PlainText);
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
