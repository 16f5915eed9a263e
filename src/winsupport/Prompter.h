#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

// Everything a person must answer: message boxes and file dialogs. Tests answer through a scripted one.
class Prompter {
public:
    enum class Icon { Information, Exclamation, Critical, Question };
    struct FileRequest {
        QString title;
        QString defaultExt;       // e.g. "*.qvl"
        QString filter;           // "XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl"
        int filterIndex = 0;      // 0-based position of the pair selected at the start
        QString initialDir;       // the folder the dialog starts in; empty: the platform's choice
        QWidget* owner = nullptr; // the window the dialog belongs to
        QString fileName;         // the name (or path) the dialog starts with; empty: none
        // Option bits of the classic file dialogs. Only 0x2 is honoured: with it the dialog asks its own
        // overwrite question; without it (the usual case) the caller asks.
        quint32 flags = 0;

        // The filter as Qt's name filters: "XML files (*.xml)", "Lists (*.xml *.qvl)".
        QStringList nameFilters() const;
        // The default extension without "*" and ".": "*.qvl" gives "qvl".
        QString suffix() const;
    };
    static constexpr quint32 kOverwritePrompt = 0x2;

    virtual ~Prompter() = default;
    // A message with an OK button. An empty title stands for the application's title.
    virtual void message(Icon icon, const QString& title, const QString& text, QWidget* owner) = 0;
    // The same with a detail text the person can unfold; unless a prompter shows it apart, it follows the text.
    virtual void messageDetail(Icon icon, const QString& title, const QString& text, const QString& detail,
                               QWidget* owner);
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& title, const QString& text, QWidget* owner) = 0;
    // The chosen file's full path, or an empty text when cancelled.
    virtual QString openFileName(const FileRequest& request) = 0;
    virtual QString saveFileName(const FileRequest& request) = 0;
    // The rarer dialogs. Unless a prompter answers them, they are cancelled.
    virtual std::optional<QColor> chooseColor(const QColor& initial, QWidget* owner);
    virtual std::optional<QFont> chooseFont(const QFont& initial, QWidget* owner);
    // The chosen folder, or an empty text when cancelled.
    virtual QString chooseFolder(const QString& title, const QString& startDir, QWidget* owner);
};

// The real prompter: Qt message boxes and file dialogs. Texts are always shown as plain text.
class WidgetPrompter : public Prompter {
public:
    void message(Icon icon, const QString& title, const QString& text, QWidget* owner) override;
    void messageDetail(Icon icon, const QString& title, const QString& text, const QString& detail,
                       QWidget* owner) override;
    bool askYesNo(const QString& title, const QString& text, QWidget* owner) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
    std::optional<QColor> chooseColor(const QColor& initial, QWidget* owner) override;
    std::optional<QFont> chooseFont(const QFont& initial, QWidget* owner) override;
    QString chooseFolder(const QString& title, const QString& startDir, QWidget* owner) override;
};
