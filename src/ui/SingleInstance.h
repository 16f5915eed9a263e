#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One program per desktop session: the first start listens on a local socket named from the user's runtime
// folder and the display; a later start hands its command line over to it and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class HandOver { Done, NoneRunning };

    // The socket of this user's session on this display.
    static QString socketName();
    // Asks the running program to open file (an empty one: to show its window). NoneRunning when nobody answers,
    // a socket left by a program that was killed included.
    static HandOver handOver(const QString& file, const QString& name = socketName());

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;
    // Starts listening, taking over a socket that nobody answers on; false when that cannot be done.
    bool listen(const QString& name = socketName());

signals:
    void openRequested(const QString& file);
    void raiseRequested();

private:
    void serve();
    QLocalServer* m_server = nullptr;
};
