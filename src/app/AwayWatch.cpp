#include "app/AwayWatch.h"

#include "app/AwaySources.h"
#include "app/StripControls.h"
#include "core/TimeAway.h"
#include "dialogs/TimeAwayDialog.h"
#include "dialogs/common/Help.h"
#include "platform/IdleCounter.h"
#include "storage/ProjectList.h"
#include "storage/SettingsStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFile>
#include <QLoggingCategory>
#include <QMessageBox>

#include <memory>

namespace ambrin {

Q_LOGGING_CATEGORY(awayLog, "ambrin.away", QtWarningMsg)

namespace {

std::int64_t AwayMilliseconds()
{
    return static_cast<std::int64_t>(SettingsStore::Read(settings::kAwayMinutes)) * 60'000;
}

// On Wayland the X counter sees only X programs' input: the session decides, not Qt's platform.
bool IsWaylandSession()
{
    return qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

}  // namespace

AwayWatch::AwayWatch(TimeLog& log, ProjectList& projects, Hooks hooks, QWidget* strip)
    : QObject(strip), log_(log), projects_(projects), hooks_(std::move(hooks)), strip_(strip), tracker_(std::make_unique<AwayTracker>())
{
}

AwayWatch::~AwayWatch() = default;

TimeAwayDialog* AwayWatch::Question() const
{
    return dialog_;
}

void AwayWatch::AddSessionSources()
{
    // Only buses that are there: asking for a session bus with no address would have libdbus
    // start one of its own (autolaunch), a daemon left behind for nothing.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const bool sessionThere = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
                              (!runtime.isEmpty() && QFile::exists(runtime + QStringLiteral("/bus")));
    const bool systemThere = !qEnvironmentVariableIsEmpty("DBUS_SYSTEM_BUS_ADDRESS") ||
                             QFile::exists(QStringLiteral("/run/dbus/system_bus_socket"));
    QDBusConnection session = sessionThere ? QDBusConnection::sessionBus() : QDBusConnection(QString());
    if (!IsWaylandSession()) {
        if (std::shared_ptr<platform::IdleCounter> counter = platform::OpenDisplayIdleCounter()) {
            AddSource(new IdleCounterSource(QStringLiteral("the display's idle counter"), [counter] { return counter->IdleMilliseconds(); },
                                            AwayMilliseconds, kPollMilliseconds, this));
        }
    } else if (session.isConnected() && MutterIdleTime(session)) {
        AddSource(new IdleCounterSource(QStringLiteral("org.gnome.Mutter.IdleMonitor"), [session] { return MutterIdleTime(session); },
                                        AwayMilliseconds, kPollMilliseconds, this));
    } else {
        auto* wayland = new WaylandIdleSource(AwayMilliseconds, kPollMilliseconds, this);
        // With the option off it cannot tell yet whether the compositor has the protocol.
        if (wayland->Connected() || AwayMilliseconds() <= 0) AddSource(wayland);
        else delete wayland;
    }
#ifdef Q_OS_WIN
    AddSource(new WindowsPresenceSource(strip_, this));
#endif
    if (session.isConnected()) AddSource(new ScreenSaverSource(session, this));
    if (systemThere) {
        if (QDBusConnection system = QDBusConnection::systemBus(); system.isConnected()) AddSource(new LogindSource(system, this));
    }
    qCInfo(awayLog) << "time away is told by:" << (names_.isEmpty() ? QStringLiteral("nothing on this session") : names_.join(", "));
}

void AwayWatch::AddSource(AwaySource* source)
{
    source->setParent(this);
    names_.push_back(source->Name());
    connect(source, &AwaySource::AwaySince, this, &AwayWatch::OnAwaySince);
    connect(source, &AwaySource::Back, this, &AwayWatch::OnBack);
}

void AwayWatch::OnAwaySince(quint64 since)
{
    qCInfo(awayLog) << "away since" << QString::fromStdString(ClockTime(since).Format(ClockTextStyle::Numeric, true));
    tracker_->AwaySince(ClockTime(since));
}

void AwayWatch::OnBack(quint64 at)
{
    qCInfo(awayLog) << "back at" << QString::fromStdString(ClockTime(at).Format(ClockTextStyle::Numeric, true));
    const std::int64_t minimum = AwayMilliseconds() / 1000;
    if (minimum <= 0) {  // the option is off: forget the away, ask nothing
        tracker_->Forget();
        return;
    }
    const std::optional<AwayQuestion> question = tracker_->Back(ClockTime(at), minimum, log_);
    if (!question) return;
    if (!dialog_) {
        const auto names = [this] {
            std::vector<std::string> list;
            for (std::uint32_t i = 0; i < projects_.Count(); ++i) list.push_back(projects_.At(i));
            return list;
        };
        dialog_ = new TimeAwayDialog(names, [this](AwayAnswer answer, const std::string& name) { OnAnswer(answer, name); }, strip_);
        dialog_->adjustSize();
        PlaceBesideStrip(dialog_, strip_);
    }
    dialog_->Ask(question->from, question->to, question->project);
}

void AwayWatch::OnAnswer(AwayAnswer answer, const std::string& assignTo)
{
    const std::optional<AwayQuestion> question = tracker_->Pending();
    tracker_->Answered();
    if (!question || answer == AwayAnswer::Keep) return;
    hooks_.catchUp();
    if (!BookAway(log_, *question, answer, assignTo, SettingsStore::IsOn(settings::kRoundTimes))) {
        QMessageBox::information(strip_, kAppName,
                                 QStringLiteral("The running project changed since you came back, so the time away was left as it is."));
        return;
    }
    if (answer == AwayAnswer::AssignTo) projects_.AddName(assignTo);
    hooks_.changed();
}

}  // namespace ambrin
