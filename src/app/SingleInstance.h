#pragma once

#include "platform/FileSystem.h"

#include <QObject>

#include <functional>

#include <memory>
#include <string>

class QLocalServer;
class QWidget;

namespace ambrin {

struct StripRequest;

// One copy of the program per log folder. The first copy holds a lock file in the folder
// and listens on a local socket in a folder private to the user; a second copy finds the lock
// held, asks the first to bring its strip forward, and ends without touching any file. The
// command line sends its commands (start, stop, notes, status) the same way.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The command line asks first and takes the lock only when no strip answered.
    enum class Locking { AtOnce, OnlyIfAsked };
    explicit SingleInstance(const std::string& logFolder, QObject* parent = nullptr, Locking locking = Locking::AtOnce);
    ~SingleInstance() override;

    // False when another copy runs on the same folder. A lock that cannot be made at all
    // (an unwritable folder) does not stop the program.
    bool IsFirst() const;
    // Not first because another user holds the folder (a shared one): that user's name.
    std::string OtherUser() const;
    // Takes the lock now (Locking::OnlyIfAsked); true when this process holds it.
    bool TakeLock();
    // First copy: brings window forward whenever a second copy asks, and answers the other
    // requests with what handle returns (a reply line). Only this user's processes are
    // answered; a line that is too long or not a request gets an error and changes nothing.
    using RequestHandler = std::function<std::string(const StripRequest&)>;
    void Serve(QWidget* window, RequestHandler handle = {});
    // Second copy: asks the running one to show its strip; true when it answered.
    bool AskRunningCopyToShow(int timeoutMilliseconds = 2000) const;
    // Sends one request line and reads the reply line; false when no copy answered.
    bool Ask(const std::string& line, std::string& reply, int timeoutMilliseconds = 2000) const;

    static QString ServerName(const std::string& logFolder);
    static constexpr const char* kLockName = ".ambrin.lock";
    static constexpr const char* kShowRequest = "show\n";
    static constexpr const char* kShownReply = "shown\n";

private:
    QString serverName_;
    std::string logFolder_;
    std::unique_ptr<platform::ExclusiveFileLock> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace ambrin
