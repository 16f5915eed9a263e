#pragma once

#include <QString>

class QWidget;

// Everything a person must answer: message boxes and file dialogs. Tests answer through a scripted one.
class Prompter {
public:
    enum class Icon { Information, Exclamation, Critical, Question };
    struct FileRequest {
        QString title;
        QString defaultExt; // e.g. "*.qvl"
        QString filter;     // "XML files (*.xml)|*.xml|Quovel files (*.qvl)|*.qvl"
        int filterIndex = 0;
        QString initialDir;       // the folder the dialog starts in; empty: the platform's choice
        QWidget* owner = nullptr; // the window the dialog belongs to
    };

    virtual ~Prompter() = default;
    // A message with an OK button. An empty title stands for the application's title.
    virtual void message(Icon icon, const QString& title, const QString& text, QWidget* owner) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool askYesNo(const QString& title, const QString& text, QWidget* owner) = 0;
    // The chosen file's full path, or an empty text when cancelled.
    virtual QString openFileName(const FileRequest& request) = 0;
    virtual QString saveFileName(const FileRequest& request) = 0;
};

// The real prompter: Qt message boxes and file dialogs. Texts are always shown as plain text.
class WidgetPrompter : public Prompter {
public:
    void message(Icon icon, const QString& title, const QString& text, QWidget* owner) override;
    bool askYesNo(const QString& title, const QString& text, QWidget* owner) override;
    QString openFileName(const FileRequest& request) override;
    QString saveFileName(const FileRequest& request) override;
};
