#pragma once

#include "platform/FileSystem.h"

#include <QObject>

#include <memory>
#include <string>

class QLocalServer;
class QWidget;

namespace ambrin {

// One copy of the program per log folder. The first copy holds a lock file in the folder
// and listens on a local socket; a second copy finds the lock held, asks the first to bring
// its strip forward, and ends without touching any file.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const std::string& logFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // False when another copy runs on the same folder. A lock that cannot be made at all
    // (an unwritable folder) does not stop the program.
    bool IsFirst() const;
    // Not first because another user holds the folder (a shared one): that user's name.
    std::string OtherUser() const;
    // First copy: brings window forward whenever a second copy asks.
    void Serve(QWidget* window);
    // Second copy: asks the running one to show its strip; true when it answered.
    bool AskRunningCopyToShow(int timeoutMilliseconds = 2000) const;

    static QString ServerName(const std::string& logFolder);
    static constexpr const char* kLockName = ".ambrin.lock";
    static constexpr const char* kShowRequest = "show\n";
    static constexpr const char* kShownReply = "shown\n";

private:
    QString serverName_;
    std::unique_ptr<platform::ExclusiveFileLock> lock_;
    QLocalServer* server_ = nullptr;
};

}  // namespace ambrin
