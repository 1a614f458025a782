#include "app/SessionEnd.h"

#include "platform/SessionSignals.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cstdlib>

namespace ambrin {

namespace {

// The one whose end the atexit hook runs; none once it is gone.
SessionEnd* live = nullptr;

void RunAtExit()
{
    if (live) live->EndRun();
}

}  // namespace

SessionEnd::SessionEnd(std::function<void()> endRun, QObject* parent) : QObject(parent), endRun_(std::move(endRun))
{
    [[maybe_unused]] static const bool hooked = std::atexit(RunAtExit) == 0;
    live = this;

    const int endSignals = platform::WatchSessionEndSignals();
    if (endSignals >= 0) {
        auto* notifier = new QSocketNotifier(endSignals, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            platform::DrainSessionEndSignals();
            EndRun();
            QCoreApplication::exit(0);  // leaves every event loop, a dialog's too, without asking
        });
    }
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { EndRun(); });
    }
}

SessionEnd::~SessionEnd()
{
    if (live != this) return;
    live = nullptr;
    platform::StopWatchingSessionEndSignals();
}

void SessionEnd::EndRun()
{
    if (!endRun_) return;
    const std::function<void()> end = std::move(endRun_);
    endRun_ = nullptr;
    end();
}

}  // namespace ambrin
