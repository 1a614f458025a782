#include "app/AwaySources.h"

#include "core/ClockTime.h"
#include "platform/IdleCounter.h"
#include "platform/WaylandIdle.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace ambrin {

namespace {

quint64 Now()
{
    return ClockTime::Now().Ticks();
}

quint64 MillisecondsBefore(quint64 ticks, std::int64_t milliseconds)
{
    return ticks - static_cast<quint64>(milliseconds) * (kTicksPerSecond / 1000);
}

}  // namespace

IdleCounterSource::IdleCounterSource(QString name, Counter counter, std::function<std::int64_t()> thresholdMilliseconds,
                                     int pollMilliseconds, QObject* parent)
    : AwaySource(parent), name_(std::move(name)), counter_(std::move(counter)), threshold_(std::move(thresholdMilliseconds))
{
    connect(&timer_, &QTimer::timeout, this, &IdleCounterSource::Poll);
    timer_.start(pollMilliseconds);
}

void IdleCounterSource::Poll()
{
    const std::optional<std::int64_t> idle = counter_();
    if (!idle) return;
    const std::int64_t threshold = threshold_();
    if (!away_ && threshold > 0 && *idle >= threshold) {
        away_ = true;
        emit AwaySince(MillisecondsBefore(Now(), *idle));
    } else if (away_ && *idle < last_) {
        away_ = false;
        emit Back(MillisecondsBefore(Now(), *idle));  // at the input that reset the count
    }
    last_ = *idle;
}

WaylandIdleSource::WaylandIdleSource(std::function<std::int64_t()> thresholdMilliseconds, int checkMilliseconds, QObject* parent)
    : AwaySource(parent), threshold_(std::move(thresholdMilliseconds))
{
    Reopen();
    connect(&check_, &QTimer::timeout, this, &WaylandIdleSource::Reopen);
    check_.start(checkMilliseconds);
}

WaylandIdleSource::~WaylandIdleSource() = default;

void WaylandIdleSource::Reopen()
{
    const std::int64_t threshold = threshold_();
    if (threshold == openedWith_) return;
    openedWith_ = threshold;
    readable_.reset();
    watch_.reset();
    if (threshold <= 0) return;  // off
    watch_ = platform::WaylandIdleWatch::Open(static_cast<std::uint32_t>(threshold));
    if (!watch_) return;
    readable_ = std::make_unique<QSocketNotifier>(watch_->Descriptor(), QSocketNotifier::Read);
    connect(readable_.get(), &QSocketNotifier::activated, this, &WaylandIdleSource::Read);
}

void WaylandIdleSource::Read()
{
    const std::int64_t threshold = openedWith_;
    const bool open = watch_->Dispatch([this, threshold](bool idle) {
        if (idle) emit AwaySince(MillisecondsBefore(Now(), threshold));  // the last input was a timeout ago
        else emit Back(Now());
    });
    if (!open) {  // the compositor went away
        readable_.reset();
        watch_.reset();
    }
}

ScreenSaverSource::ScreenSaverSource(QDBusConnection session, QObject* parent) : AwaySource(parent)
{
    // Desktops publish it at either path.
    for (const char* path : {"/org/freedesktop/ScreenSaver", "/ScreenSaver"}) {
        session.connect(QString(), QString::fromLatin1(path), QStringLiteral("org.freedesktop.ScreenSaver"),
                        QStringLiteral("ActiveChanged"), this, SLOT(ActiveChanged(bool)));
    }
}

void ScreenSaverSource::ActiveChanged(bool active)
{
    if (active) emit AwaySince(Now());
    else emit Back(Now());
}

LogindSource::LogindSource(QDBusConnection system, QObject* parent) : AwaySource(parent)
{
    const QString service = QStringLiteral("org.freedesktop.login1");
    system.connect(service, QStringLiteral("/org/freedesktop/login1"), QStringLiteral("org.freedesktop.login1.Manager"),
                   QStringLiteral("PrepareForSleep"), this, SLOT(PrepareForSleep(bool)));
    // This process's session, for its Lock and Unlock; asked without waiting for the answer.
    QDBusMessage ask = QDBusMessage::createMethodCall(service, QStringLiteral("/org/freedesktop/login1"),
                                                      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("GetSessionByPID"));
    ask << static_cast<quint32>(QCoreApplication::applicationPid());
    auto* watcher = new QDBusPendingCallWatcher(system.asyncCall(ask, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, system, service](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *call;
        if (reply.isError()) return;
        QDBusConnection bus = system;
        const QString session = reply.value().path(), interface = QStringLiteral("org.freedesktop.login1.Session");
        bus.connect(service, session, interface, QStringLiteral("Lock"), this, SLOT(Lock()));
        bus.connect(service, session, interface, QStringLiteral("Unlock"), this, SLOT(Unlock()));
    });
}

void LogindSource::PrepareForSleep(bool sleeping)
{
    if (sleeping) emit AwaySince(Now());
    else emit Back(Now());
}

void LogindSource::Lock()
{
    emit AwaySince(Now());
}

void LogindSource::Unlock()
{
    emit Back(Now());
}

#ifdef Q_OS_WIN
WindowsPresenceSource::WindowsPresenceSource(QWidget* window, QObject* parent)
    : AwaySource(parent), window_(reinterpret_cast<void*>(window->winId()))
{
    platform::WatchSessionLock(window_);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowsPresenceSource::~WindowsPresenceSource()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
    platform::StopWatchingSessionLock(window_);
}

bool WindowsPresenceSource::nativeEventFilter(const QByteArray& type, void* message, qintptr*)
{
    if (type != "windows_generic_MSG") return false;
    switch (platform::PresenceFromMessage(message)) {
    case platform::PresenceChange::Away: emit AwaySince(Now()); break;
    case platform::PresenceChange::Back: emit Back(Now()); break;
    case platform::PresenceChange::None: break;
    }
    return false;  // the strip sees its messages as before
}
#endif

std::optional<std::int64_t> MutterIdleTime(QDBusConnection session)
{
    const QString name = QStringLiteral("org.gnome.Mutter.IdleMonitor");
    const QDBusMessage ask = QDBusMessage::createMethodCall(name, QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), name,
                                                            QStringLiteral("GetIdletime"));
    const QDBusMessage reply = session.call(ask, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return std::nullopt;
    bool valid = false;
    const qulonglong idle = reply.arguments().front().toULongLong(&valid);
    if (!valid) return std::nullopt;
    return static_cast<std::int64_t>(idle);
}

}  // namespace ambrin
