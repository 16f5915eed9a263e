#pragma once

#include <QString>

class Prompter;
class QWidget;

// The standard dialogs behind one object: set the properties, call a Show method, read the results back.
// The file dialogs are Qt's, through the Prompter (so tests answer them); colour, font and folder likewise.
//
// Not available on this system (they return a failure numbered kNotAvailableError and do nothing): the
// printer dialog (the program prints nothing, so its choice would go nowhere), help files, the about box, the
// icon picker, run, restart, shut-down, format, object properties and find files, which are shell dialogs no
// Linux desktop has.
class CommonDialog {
public:
    // What a Show method ends with: 0 and no text when it worked, otherwise the error's number and text.
    struct Result {
        int errorNumber = 0;
        QString errorText;
        bool ok() const { return errorNumber == 0; }
    };

    static constexpr int kCancelError = 32755;       // cancelled with CancelError set
    static constexpr int kNotAvailableError = 32751; // a dialog this system does not have
    static constexpr quint32 kHookAndTemplateBits = 0x20 | 0x40 | 0x80;

    // `fallbackDir` is where the file and folder dialogs start while InitDir is empty (the caller's last
    // folder); when it is empty too, the user's documents folder.
    explicit CommonDialog(Prompter& prompter, QString fallbackDir = {});

    // Writing 1 to 14 opens the matching dialog (1 ShowOpen ... 14 ShowShutDown); other values do nothing.
    Result setAction(int action);

    bool CancelError() const { return m_cancelError; }
    void setCancelError(bool on) { m_cancelError = on; }
    QWidget* hOwner() const { return m_owner; }
    void setHOwner(QWidget* owner) { m_owner = owner; }
    // Read as written; the file dialogs get them without the hook and template bits.
    quint32 flags() const { return m_flags; }
    void setFlags(quint32 flags) { m_flags = flags; }
    const QString& DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString& title) { m_dialogTitle = title; }
    const QString& DialogPrompt() const { return m_dialogPrompt; }
    void setDialogPrompt(const QString& prompt) { m_dialogPrompt = prompt; }
    // AppName, hIcon and IconSize feed the about and icon dialogs, which this system has not: kept as
    // written so that callers setting them keep working.
    const QString& AppName() const { return m_appName; }
    void setAppName(const QString& name) { m_appName = name; }
    qintptr hIcon() const { return m_icon; }
    void setHIcon(qintptr icon) { m_icon = icon; }
    // 16 or 32; any other value reads as 32.
    int IconSize() const { return m_iconSize == 16 ? 16 : 32; }
    void setIconSize(int size) { m_iconSize = size; }

    const QString& FontName() const { return m_fontName; }
    void setFontName(const QString& name) { m_fontName = name; }
    double FontSize() const { return m_fontSize; }
    void setFontSize(double points) { m_fontSize = points; }
    bool Bold() const { return m_bold; }
    void setBold(bool on) { m_bold = on; }
    bool Italic() const { return m_italic; }
    void setItalic(bool on) { m_italic = on; }
    bool StrikeThru() const { return m_strikeThru; }
    void setStrikeThru(bool on) { m_strikeThru = on; }
    bool Underline() const { return m_underline; }
    void setUnderline(bool on) { m_underline = on; }
    // 0x00BBGGRR, in and out of the colour dialog.
    quint32 RGBResult() const { return m_rgbResult; }
    void setRGBResult(quint32 bgr) { m_rgbResult = bgr; }

    // "*.qvl", "qvl" or ".qvl": a name chosen without an extension gets it.
    const QString& DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString& ext) { m_defaultExt = ext; }
    // In: the name the dialog starts with. Out: the full path chosen; unchanged when nothing was chosen.
    const QString& FileName() const { return m_fileName; }
    void setFileName(const QString& name) { m_fileName = name; }
    // Out: the chosen file's name without its folder; unchanged when nothing was chosen.
    const QString& FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString& title) { m_fileTitle = title; }
    // "description|pattern|description|pattern", patterns of one pair separated by ";".
    const QString& Filter() const { return m_filter; }
    void setFilter(const QString& filter) { m_filter = filter; }
    // 1-based pair selected at the start; 0 (and anything out of range) selects the first.
    int FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index) { m_filterIndex = index; }
    const QString& InitDir() const { return m_initDir; }
    void setInitDir(const QString& dir) { m_initDir = dir; }

    // For the help dialog, which this system has not (see above): kept as written, read by nothing.
    const QString& HelpFile() const { return m_helpFile; }
    void setHelpFile(const QString& file) { m_helpFile = file; }
    int HelpCommand() const { return m_helpCommand; }
    void setHelpCommand(int command) { m_helpCommand = command; }
    int HelpKey() const { return m_helpKey; }
    void setHelpKey(int key) { m_helpKey = key; }

    // A cancel is a success unless CancelError is set, then it fails with kCancelError.
    Result ShowOpen();
    Result ShowSave();
    Result ShowColor();
    Result ShowFont(); // the text colour (RGBResult) is not offered: Qt's font dialog has none
    // The chosen folder, starting at InitDir with DialogPrompt as the title; empty when cancelled.
    QString ShowFolder();

    Result ShowPrinter();
    Result ShowHelp();
    Result ShowAbout();
    Result ShowIcon();
    Result ShowRun();
    Result ShowRestart();
    Result ShowShutDown();
    Result ShowFormat(int drive, int capacity, int options);
    Result ShowObjectProp(const QString& objectName, int tab);
    Result ShowFindFiles();

    // The folder a dialog starts in: InitDir, else the fallback folder, else the documents folder.
    QString startFolder() const;

private:
    Result showFile(bool save);
    Result cancelled() const;

    Prompter& m_prompter;
    QString m_fallbackDir;
    bool m_cancelError = false;
    QWidget* m_owner = nullptr;
    quint32 m_flags = 0;
    QString m_dialogTitle;
    QString m_dialogPrompt;
    QString m_appName;
    qintptr m_icon = 0;
    int m_iconSize = 0;
    QString m_fontName;
    double m_fontSize = 0;
    bool m_bold = false;
    bool m_italic = false;
    bool m_strikeThru = false;
    bool m_underline = false;
    quint32 m_rgbResult = 0;
    QString m_defaultExt;
    QString m_fileName;
    QString m_fileTitle;
    QString m_filter;
    int m_filterIndex = 0;
    QString m_initDir;
    QString m_helpFile;
    int m_helpCommand = 0;
    int m_helpKey = 0;
};
