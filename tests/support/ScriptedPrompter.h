#pragma once

#include "winsupport/Prompter.h"

#include <QList>
#include <QStringList>

#include <functional>

// A prompter that answers from a script and records what it was asked, so no test ever blocks on a person.
// Unscripted questions are answered No and unscripted file dialogs are cancelled.
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        Icon icon;
        QString title;
        QString text;
        QString detail;
    };

    QList<bool> answers;                    // next answers to askYesNo, first first
    QStringList fileNames;                  // next file names chosen in a file dialog; "" cancels
    QList<Shown> shown;                     // every message and question, in order
    QList<FileRequest> files;               // every file dialog request, in order
    std::function<void()> whileMessageOpen; // what happens meanwhile, as under a real modal message

    void message(Icon icon, const QString& title, const QString& text, QWidget*) override {
        messageDetail(icon, title, text, {}, nullptr);
    }
    void messageDetail(Icon icon, const QString& title, const QString& text, const QString& detail,
                       QWidget*) override {
        shown.append({icon, title, text, detail});
        if (whileMessageOpen)
            whileMessageOpen();
    }
    bool askYesNo(const QString& title, const QString& text, QWidget*) override {
        shown.append({Icon::Question, title, text, {}});
        return answers.isEmpty() ? false : answers.takeFirst();
    }
    QString openFileName(const FileRequest& request) override { return nextFile(request); }
    QString saveFileName(const FileRequest& request) override { return nextFile(request); }

private:
    QString nextFile(const FileRequest& request) {
        files.append(request);
        return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
    }
};
