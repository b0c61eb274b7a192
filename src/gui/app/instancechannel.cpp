#include "gui/app/instancechannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray Request = "raise\n";
const QByteArray Reply = "raised\n";
} // namespace

InstanceChannel::InstanceChannel(const QString &programFolderHost, QObject *parent)
    : QObject(parent), m_name(serverName(programFolderHost))
{}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::serverName(const QString &programFolderHost)
{
    const QByteArray folder = QDir::cleanPath(QDir(programFolderHost).absolutePath()).toUtf8();
    return QStringLiteral("lumivale-") +
           QString::fromLatin1(QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16));
}

bool InstanceChannel::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::onNewConnection);
    }
    if (m_server->isListening())
        return true;
    // The lock says no other instance runs: a name still there was left by one that crashed.
    QLocalServer::removeServer(m_name);
    return m_server->listen(m_name);
}

void InstanceChannel::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            if (socket->readLine() == Request) {
                emit raiseRequested();
                socket->write(Reply);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool InstanceChannel::askToRaise(const QString &programFolderHost, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(serverName(programFolderHost));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(Request);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == Reply;
}
