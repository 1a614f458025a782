#include "app/App.h"

#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "core/StripRequest.h"
#include "storage/LogFiles.h"
#include "storage/PartedLogRead.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <system_error>

namespace ambrin {

namespace {

// Placed before the window manager framed it, the strip's client area lands on the corner
// and its title bar above the screen. Once the frame is known, the frame goes to the corner.
void PlaceFrameInCorner(QWidget* strip)
{
    auto* poll = new QTimer(strip);
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, strip, [strip, poll, tries] {
        QWindow* window = strip->windowHandle();
        const bool framed = window && window->frameMargins() != QMargins();
        if (framed && window->framePosition() != QPoint(0, 0)) {
            // Qt still holds (0, 0) as the position asked for and would skip the same request:
            // a step aside first makes the move real.
            window->setFramePosition(QPoint(1, 1));
            window->setFramePosition(QPoint(0, 0));
        }
        if (framed || ++*tries > 40) poll->deleteLater();  // no frame after 2 s: none will come
    });
    poll->start(50);
}

}  // namespace

App::App() = default;

App::~App()
{
    if (loading_.valid()) loading_.wait();  // the reader works on this object's members
}

std::unique_ptr<LogFiles> App::ReadFiles(const std::string& logPath, const std::string& listPath,
                                         PartedLogRead* logRead)
{
    auto files = std::make_unique<LogFiles>(locations_, log_, projects_);
    files->Load(logPath, listPath, logRead);
    return files;
}

void App::BeginLoading()
{
    // One look at the settings for both paths: the loader starts as early as it can.
    const std::string folder = locations_.LogFolder();
    std::string logPath = folder;
    JoinPath(logPath, kCurrentLogName);
    std::string listPath = folder;
    JoinPath(listPath, kProjectListName);
    auto logRead = std::make_unique<PartedLogRead>(logPath);
    try {
        loading_ = std::async(std::launch::async, &App::ReadFiles, this, logPath, listPath, logRead.get());
        logRead_ = std::move(logRead);
    } catch (const std::system_error&) {
        // No thread to be had: LoadFiles reads them.
    }
}

std::unique_ptr<LogFiles> App::LoadFiles()
{
    if (!loading_.valid()) return ReadFiles(locations_.CurrentLogPath(), locations_.ProjectListPath(), nullptr);
    logRead_->TakeParts();
    return loading_.get();
}

int App::Run(SingleInstance& instance)
{
    auto* strip = new MainWindow(*this);
    strip->setAttribute(Qt::WA_DeleteOnClose);
    strip->show();
    PlaceFrameInCorner(strip);
    const QPointer<MainWindow> window(strip);
    instance.Serve(strip, [window](const StripRequest& request) {
        return window ? window->CarryOut(request) : ReplyLine(false, "Ambrin is closing");
    });
    return QApplication::exec();
}

}  // namespace ambrin
