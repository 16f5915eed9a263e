#include "ui/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

namespace {
constexpr int kWaitMs = 3000;
const QByteArray kOpen = QByteArrayLiteral("open ");
const QByteArray kAnswer = QByteArrayLiteral("ok\n");
} // namespace

QString SingleInstance::socketName() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    for (QChar& c : display) {
        if (!c.isLetterOrNumber())
            c = u'_';
    }
    return folder + QStringLiteral("/quovel-") + (display.isEmpty() ? QStringLiteral("none") : display);
}

SingleInstance::HandOver SingleInstance::handOver(const QString& file, const QString& name) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kWaitMs))
        return HandOver::NoneRunning;
    // Relative to the folder this start was made in, not the running program's.
    const QByteArray request =
        file.isEmpty() ? QByteArrayLiteral("raise\n") : kOpen + QFileInfo(file).absoluteFilePath().toUtf8() + '\n';
    socket.write(request);
    if (!socket.waitForBytesWritten(kWaitMs))
        return HandOver::NoneRunning;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kWaitMs))
            return HandOver::NoneRunning;
    }
    return socket.readLine() == kAnswer ? HandOver::Done : HandOver::NoneRunning;
}

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::listen(const QString& name) {
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name)) {
        // A socket nobody answers on was left by a program that ended without removing it.
        QLocalSocket probe;
        probe.connectToServer(name);
        if (probe.waitForConnected(kWaitMs))
            return false;
        QLocalServer::removeServer(name);
        if (!m_server->listen(name))
            return false;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::serve);
    return true;
}

void SingleInstance::serve() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine().chopped(1);
            socket->write(kAnswer);
            socket->flush();
            if (line.startsWith(kOpen))
                emit openRequested(QString::fromUtf8(line.mid(kOpen.size())));
            else
                emit raiseRequested();
        });
    }
}
