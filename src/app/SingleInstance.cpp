#include "app/SingleInstance.h"

#include "core/StripRequest.h"
#include "dialogs/common/QtText.h"
#include "platform/LocalPeer.h"
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
    const QString name = QStringLiteral("ambrin-%1-%2").arg(ToQString(platform::UserTag()), QString::fromLatin1(hash.toHex().left(16)));
    // In a folder only this user may enter: another user cannot even reach the socket.
    const std::string folder = platform::PrivateSocketFolder();
    return folder.empty() ? name : ToQString(folder) + QLatin1Char('/') + name;
}

SingleInstance::SingleInstance(const std::string& logFolder, QObject* parent, Locking locking)
    : QObject(parent), serverName_(ServerName(logFolder)), logFolder_(logFolder)
{
    if (locking == Locking::AtOnce) TakeLock();
}

bool SingleInstance::TakeLock()
{
    if (!lock_) {
        std::string lockPath = logFolder_;
        JoinPath(lockPath, kLockName);
        lock_ = std::make_unique<platform::ExclusiveFileLock>(lockPath);
    }
    return IsFirst();
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::IsFirst() const
{
    return lock_ && lock_->Status() != platform::ExclusiveFileLock::State::HeldElsewhere;
}

std::string SingleInstance::OtherUser() const
{
    return !lock_ || IsFirst() ? std::string() : lock_->Owner();
}

void SingleInstance::Serve(QWidget* window, RequestHandler handle)
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
    connect(server_, &QLocalServer::newConnection, this, [this, strip, handle] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [socket, strip, handle] {
                const auto answer = [socket](const std::string& line) {
                    socket->write(line.data(), static_cast<qint64>(line.size()));
                    socket->flush();
                };
                if (!platform::PeerIsThisUser(static_cast<std::intptr_t>(socket->socketDescriptor()))) {
                    answer(ReplyLine(false, "this Ambrin belongs to another user"));
                    socket->disconnectFromServer();
                    return;
                }
                if (!socket->canReadLine()) {
                    if (socket->bytesAvailable() >= static_cast<qint64>(kRequestLimit)) {
                        answer(ReplyLine(false, "the request is too long"));
                        socket->disconnectFromServer();
                    }
                    return;
                }
                const QByteArray line = socket->readLine(static_cast<qint64>(kRequestLimit) + 1);
                const std::optional<StripRequest> request = ParseRequest(std::string_view(line.constData(), static_cast<std::size_t>(line.size())));
                if (!request) {
                    answer(ReplyLine(false, "not a request Ambrin knows"));
                } else if (!strip) {
                    answer(ReplyLine(false, "Ambrin is closing"));
                } else if (request->kind == StripRequest::Kind::Show) {
                    strip->showNormal();
                    strip->raise();
                    strip->activateWindow();
                    answer(kShownReply);
                } else {
                    answer(handle ? handle(*request) : ReplyLine(false, "not served here"));
                }
            });
        }
    });
}

bool SingleInstance::AskRunningCopyToShow(int timeoutMilliseconds) const
{
    std::string reply;
    return Ask(kShowRequest, reply, timeoutMilliseconds) && reply == kShownReply;
}

bool SingleInstance::Ask(const std::string& line, std::string& reply, int timeoutMilliseconds) const
{
    QLocalSocket socket;
    socket.connectToServer(serverName_);
    if (!socket.waitForConnected(timeoutMilliseconds)) return false;
    socket.write(line.data(), static_cast<qint64>(line.size()));
    if (!socket.waitForBytesWritten(timeoutMilliseconds)) return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMilliseconds)) return false;
    }
    reply = socket.readLine().toStdString();
    return true;
}

}  // namespace ambrin
