#include "app/SingleInstance.h"

#include "dialogs/common/QtText.h"
#include "storage/FileLocations.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QWidget>

namespace ambrin {

QString SingleInstance::ServerName(const std::string& logFolder)
{
    // The same folder however it is spelled: its canonical path, per user.
    const QByteArray hash = QCryptographicHash::hash(
        QByteArray::fromStdString(platform::CanonicalPath(logFolder)), QCryptographicHash::Sha1);
    return QStringLiteral("ambrin-%1-%2")
        .arg(ToQString(platform::UserTag()), QString::fromLatin1(hash.toHex().left(16)));
}

SingleInstance::SingleInstance(const std::string& logFolder, QObject* parent)
    : QObject(parent), serverName_(ServerName(logFolder))
{
    std::string lockPath = logFolder;
    JoinPath(lockPath, kLockName);
    lock_ = std::make_unique<platform::ExclusiveFileLock>(lockPath);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::IsFirst() const
{
    return lock_->Status() != platform::ExclusiveFileLock::State::HeldElsewhere;
}

std::string SingleInstance::OtherUser() const
{
    return IsFirst() ? std::string() : lock_->Owner();
}

void SingleInstance::Serve(QWidget* window)
{
    server_ = new QLocalServer(this);
    // A socket left by a copy that crashed would refuse the listen; we hold the lock, so it
    // is stale.
    QLocalServer::removeServer(serverName_);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    server_->listen(serverName_);
    // The strip may be deleted while this copy still serves (it closes before the program
    // ends): a request after that finds no window and gets no answer.
    const QPointer<QWidget> strip(window);
    connect(server_, &QLocalServer::newConnection, this, [this, strip] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [socket, strip] {
                if (!strip || !socket->canReadLine() || socket->readLine() != kShowRequest) return;
                strip->showNormal();
                strip->raise();
                strip->activateWindow();
                socket->write(kShownReply);
                socket->flush();
            });
        }
    });
}

bool SingleInstance::AskRunningCopyToShow(int timeoutMilliseconds) const
{
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMilliseconds)) return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(timeoutMilliseconds)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMilliseconds)) return false;
    }
    return socket.readLine() == kShownReply;
}

}  // namespace ambrin
