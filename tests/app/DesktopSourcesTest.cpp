// The desktop's D-Bus sources against stand-in services on a private bus: the screen saver's
// lock, logind's sleep and session lock, GNOME's idle time.
#include "app/AwaySources.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QThread>

#include <atomic>

namespace ambrin {
namespace {

// logind's manager and GNOME's idle monitor as far as Ambrin asks them. They answer on a
// thread of their own: the program's calls may wait for the answer.
class StandInLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public slots:
    QDBusObjectPath GetSessionByPID(uint) { return QDBusObjectPath(QStringLiteral("/org/freedesktop/login1/session/_31")); }
};

class StandInIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public:
    std::atomic<qulonglong> idle{0};
public slots:
    qulonglong GetIdletime() { return idle; }
};

class PrivateBus {
public:
    PrivateBus()
    {
        daemon_.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address")});
        if (!daemon_.waitForStarted() || !QTest::qWaitFor([&] { return daemon_.canReadLine(); }, 10'000)) return;
        address = QString::fromLatin1(daemon_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        daemon_.kill();
        daemon_.waitForFinished();
    }
    QString address;

private:
    QProcess daemon_;
};

class DesktopSources : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (bus_.address.isEmpty()) GTEST_SKIP() << "no dbus-daemon here";
        program_ = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(bus_.address, QStringLiteral("program")));
        ASSERT_TRUE(program_->isConnected());
        // The services on their own thread and connection.
        thread_.start();
        logind_.moveToThread(&thread_);
        monitor_.moveToThread(&thread_);
        QMetaObject::invokeMethod(&logind_, [this] {
            QDBusConnection services = QDBusConnection::connectToBus(bus_.address, QStringLiteral("services"));
            services.registerService(QStringLiteral("org.freedesktop.login1"));
            services.registerService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
            services.registerObject(QStringLiteral("/org/freedesktop/login1"), &logind_, QDBusConnection::ExportAllSlots);
            services.registerObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"), &monitor_, QDBusConnection::ExportAllSlots);
        }, Qt::BlockingQueuedConnection);
    }
    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        QMetaObject::invokeMethod(&logind_, [] { QDBusConnection::disconnectFromBus(QStringLiteral("services")); },
                                  Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    // A signal as the service sends it.
    void Send(const char* path, const char* interface, const char* name, const QVariantList& arguments = {})
    {
        QMetaObject::invokeMethod(&logind_, [=] {
            QDBusMessage signal = QDBusMessage::createSignal(QString::fromLatin1(path), QString::fromLatin1(interface), QString::fromLatin1(name));
            signal.setArguments(arguments);
            QDBusConnection(QStringLiteral("services")).send(signal);
        }, Qt::BlockingQueuedConnection);
    }

    PrivateBus bus_;
    std::unique_ptr<QDBusConnection> program_;
    QThread thread_;
    StandInLogind logind_;
    StandInIdleMonitor monitor_;
};

TEST_F(DesktopSources, LockSleepAndReturnAreTold)
{
    ScreenSaverSource screenSaver(*program_, nullptr);
    LogindSource logind(*program_, nullptr);
    QSignalSpy awayAt(&screenSaver, &AwaySource::AwaySince), backAt(&screenSaver, &AwaySource::Back);
    QSignalSpy sleeps(&logind, &AwaySource::AwaySince), wakes(&logind, &AwaySource::Back);

    Send("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {true});
    EXPECT_TRUE(awayAt.wait(5000)) << "the screen locked";
    Send("/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged", {false});
    EXPECT_TRUE(backAt.wait(5000)) << "unlocked, at the other path desktops use";

    Send("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {true});
    EXPECT_TRUE(sleeps.wait(5000)) << "about to sleep";
    Send("/org/freedesktop/login1", "org.freedesktop.login1.Manager", "PrepareForSleep", {false});
    EXPECT_TRUE(wakes.wait(5000)) << "awake";
    // The session's own lock, once the manager has said which session this is.
    QTest::qWait(200);
    Send("/org/freedesktop/login1/session/_31", "org.freedesktop.login1.Session", "Lock");
    EXPECT_TRUE(sleeps.wait(5000)) << "the session locked";
    Send("/org/freedesktop/login1/session/_31", "org.freedesktop.login1.Session", "Unlock");
    EXPECT_TRUE(wakes.wait(5000)) << "unlocked";
    EXPECT_EQ(sleeps.size(), 2);
    EXPECT_EQ(wakes.size(), 2);
}

TEST_F(DesktopSources, GnomesIdleTimeIsReadAndItsReturnTold)
{
    monitor_.idle = 42'000;
    EXPECT_EQ(MutterIdleTime(*program_), 42'000);
    IdleCounterSource source(QStringLiteral("org.gnome.Mutter.IdleMonitor"), [this] { return MutterIdleTime(*program_); },
                             [] { return std::int64_t{60'000}; }, 3'600'000, nullptr);
    QSignalSpy away(&source, &AwaySource::AwaySince), back(&source, &AwaySource::Back);
    source.Poll();
    EXPECT_EQ(away.size(), 0) << "42 s is not a minute";
    monitor_.idle = 61'000;
    source.Poll();
    EXPECT_EQ(away.size(), 1);
    monitor_.idle = 90'000;
    source.Poll();
    EXPECT_EQ(away.size(), 1) << "told once";
    monitor_.idle = 300;
    source.Poll();
    EXPECT_EQ(back.size(), 1);
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    EXPECT_EQ(MutterIdleTime(QDBusConnection(QStringLiteral("program"))), std::nullopt) << "no bus: nothing, quietly";
}

}  // namespace
}  // namespace ambrin

#include "DesktopSourcesTest.moc"
