#pragma once

#include <QAbstractNativeEventFilter>
#include <QSocketNotifier>
#include <QDBusConnection>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace ambrin {

namespace platform {
class WaylandIdleWatch;
}

// One way of telling that the person left the computer and came back. Times are ClockTime
// ticks; a source that is not there is never made (see AwayWatch).
class AwaySource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual QString Name() const = 0;

signals:
    void AwaySince(quint64 since);
    void Back(quint64 at);
};

// An idle counter read every few seconds: away once it passes the threshold, dated at the last
// input; back at the first input after.
class IdleCounterSource : public AwaySource {
    Q_OBJECT
public:
    using Counter = std::function<std::optional<std::int64_t>()>;  // milliseconds since the last input
    IdleCounterSource(QString name, Counter counter, std::function<std::int64_t()> thresholdMilliseconds,
                      int pollMilliseconds, QObject* parent);
    QString Name() const override { return name_; }
    void Poll();

private:
    QString name_;
    Counter counter_;
    std::function<std::int64_t()> threshold_;
    QTimer timer_;
    std::int64_t last_ = 0;
    bool away_ = false;
};

// KDE Plasma's and wlroots' idle notifications on Wayland (ext-idle-notify-v1). The compositor
// counts the time itself, so the notification is made again when the option changes.
class WaylandIdleSource : public AwaySource {
    Q_OBJECT
public:
    WaylandIdleSource(std::function<std::int64_t()> thresholdMilliseconds, int checkMilliseconds, QObject* parent);
    ~WaylandIdleSource() override;
    QString Name() const override { return QStringLiteral("ext-idle-notify-v1"); }
    bool Connected() const { return watch_ != nullptr; }

private:
    void Reopen();
    void Read();

    std::function<std::int64_t()> threshold_;
    std::int64_t openedWith_ = -1;
    std::unique_ptr<platform::WaylandIdleWatch> watch_;
    std::unique_ptr<QSocketNotifier> readable_;
    QTimer check_;
};

// org.freedesktop.ScreenSaver's ActiveChanged: the screen locked or blanked, and back.
class ScreenSaverSource : public AwaySource {
    Q_OBJECT
public:
    ScreenSaverSource(QDBusConnection session, QObject* parent);
    QString Name() const override { return QStringLiteral("org.freedesktop.ScreenSaver"); }

private slots:
    void ActiveChanged(bool active);
};

// logind: the machine about to sleep and awake again, the session locked and unlocked.
class LogindSource : public AwaySource {
    Q_OBJECT
public:
    LogindSource(QDBusConnection system, QObject* parent);
    QString Name() const override { return QStringLiteral("org.freedesktop.login1"); }

private slots:
    void PrepareForSleep(bool sleeping);
    void Lock();
    void Unlock();
};

#ifdef Q_OS_WIN
// Windows: the session's lock and unlock, and sleep and resume, as messages to the strip.
class WindowsPresenceSource : public AwaySource, public QAbstractNativeEventFilter {
public:
    WindowsPresenceSource(QWidget* window, QObject* parent);
    ~WindowsPresenceSource() override;
    QString Name() const override { return QStringLiteral("the session's lock and power messages"); }
    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    void* window_;
};
#endif

// GNOME's idle time over D-Bus, for a Wayland session where the X counter sees nothing.
std::optional<std::int64_t> MutterIdleTime(QDBusConnection session);

}  // namespace ambrin
