#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

namespace sonmetra {

namespace {

constexpr char ActivateRequest[] = "activate\n";
constexpr char ActivatedReply[] = "activated\n";

QString serverName(const QString& key)
{
    return QStringLiteral("sonmetra-") + key;
}

} // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent)
    : QObject(parent), m_key(key), m_lock(QDir::temp().filePath(key + QStringLiteral(".lock")))
{
    m_lock.setStaleLockTime(0);
    m_first = m_lock.tryLock(0);
    if (m_first)
        serve();
}

QString SingleInstance::keyForThisProcess()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUpper();
}

void SingleInstance::serve()
{
    m_server = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(serverName(m_key));
    m_server->listen(serverName(m_key));
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
                if (!socket->canReadLine())
                    return;
                if (socket->readLine() == ActivateRequest) {
                    if (m_onActivate)
                        m_onActivate();
                    socket->write(ActivatedReply);
                    socket->flush();
                }
            });
        }
    });
}

bool SingleInstance::activateFirst(int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(serverName(m_key));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(ActivateRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == ActivatedReply;
}

void SingleInstance::setActivationHandler(std::function<void()> handler)
{
    m_onActivate = std::move(handler);
}

} // namespace sonmetra
