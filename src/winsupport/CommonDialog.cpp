#include "winsupport/CommonDialog.h"

#include "winsupport/Prompter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>

#include <utility>

namespace {

CommonDialog::Result notAvailable() {
    return CommonDialog::Result{
        CommonDialog::kNotAvailableError,
        QCoreApplication::translate("CommonDialog", "This dialog is not available on this system.")};
}

QColor fromBgr(quint32 bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 toBgr(const QColor& color) {
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

} // namespace

CommonDialog::CommonDialog(Prompter& prompter, QString fallbackDir)
    : m_prompter(prompter)
    , m_fallbackDir(std::move(fallbackDir)) {}

QString CommonDialog::startFolder() const {
    if (!m_initDir.isEmpty())
        return m_initDir;
    if (!m_fallbackDir.isEmpty())
        return m_fallbackDir;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

CommonDialog::Result CommonDialog::cancelled() const {
    return m_cancelError ? CommonDialog::Result{kCancelError, QCoreApplication::translate("CommonDialog",
                                                                                          "Cancel was selected.")}
                         : CommonDialog::Result();
}

CommonDialog::Result CommonDialog::showFile(bool save) {
    Prompter::FileRequest request;
    request.title = m_dialogTitle;
    request.defaultExt = m_defaultExt;
    request.filter = m_filter;
    const qsizetype pairs = request.nameFilters().size();
    request.filterIndex = m_filterIndex >= 1 && m_filterIndex <= pairs ? m_filterIndex - 1 : 0;
    request.initialDir = startFolder();
    request.owner = m_owner;
    request.fileName = m_fileName;
    request.flags = m_flags & ~kHookAndTemplateBits;

    QString chosen = save ? m_prompter.saveFileName(request) : m_prompter.openFileName(request);
    if (chosen.isEmpty())
        return cancelled(); // FileName and FileTitle stay as they were
    // A name typed without an extension gets the default one; an existing file is opened as named.
    const QString suffix = request.suffix();
    if (!suffix.isEmpty() && !QFileInfo(chosen).fileName().contains(QLatin1Char('.')) &&
        (save || !QFileInfo::exists(chosen)))
        chosen += u'.' + suffix;
    m_fileName = chosen;
    m_fileTitle = QFileInfo(chosen).fileName();
    return CommonDialog::Result();
}

CommonDialog::Result CommonDialog::ShowOpen() {
    return showFile(false);
}

CommonDialog::Result CommonDialog::ShowSave() {
    return showFile(true);
}

CommonDialog::Result CommonDialog::ShowColor() {
    const std::optional<QColor> color = m_prompter.chooseColor(fromBgr(m_rgbResult), m_owner);
    if (!color)
        return cancelled();
    m_rgbResult = toBgr(*color);
    return CommonDialog::Result();
}

CommonDialog::Result CommonDialog::ShowFont() {
    QFont font = m_fontName.isEmpty() ? QGuiApplication::font() : QFont(m_fontName);
    if (m_fontSize > 0)
        font.setPointSizeF(m_fontSize);
    font.setBold(m_bold);
    font.setItalic(m_italic);
    font.setStrikeOut(m_strikeThru);
    font.setUnderline(m_underline);
    const std::optional<QFont> chosen = m_prompter.chooseFont(font, m_owner);
    if (!chosen)
        return cancelled();
    m_fontName = chosen->family();
    m_fontSize = chosen->pointSizeF();
    m_bold = chosen->bold();
    m_italic = chosen->italic();
    m_strikeThru = chosen->strikeOut();
    m_underline = chosen->underline();
    return CommonDialog::Result();
}

QString CommonDialog::ShowFolder() {
    return m_prompter.chooseFolder(m_dialogPrompt, startFolder(), m_owner);
}

CommonDialog::Result CommonDialog::ShowPrinter() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowHelp() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowAbout() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowIcon() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowRun() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowRestart() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowShutDown() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowFormat(int, int, int) {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowObjectProp(const QString&, int) {
    return notAvailable();
}

CommonDialog::Result CommonDialog::ShowFindFiles() {
    return notAvailable();
}

CommonDialog::Result CommonDialog::setAction(int action) {
    switch (action) {
    case 1:
        return ShowOpen();
    case 2:
        return ShowSave();
    case 3:
        return ShowColor();
    case 4:
        return ShowFont();
    case 5:
        return ShowPrinter();
    case 6:
        return ShowHelp();
    case 7:
        return ShowAbout();
    case 8:
        ShowFolder();
        return CommonDialog::Result();
    case 9:
        return ShowFormat(0, 0, 0);
    case 10:
        return ShowIcon();
    case 11:
        return ShowObjectProp(QString(), 0);
    case 12:
        return ShowRestart();
    case 13:
        return ShowRun();
    case 14:
        return ShowShutDown();
    default:
        return CommonDialog::Result();
    }
}
