#include "app/App.h"
#include "app/ReportCommand.h"
#include "app/SingleInstance.h"
#include "app/StripCommandLine.h"
#include "diag/TraceLog.h"
#include "dialogs/common/Help.h"
#include "dialogs/common/Icons.h"
#include "storage/FileLocations.h"

#include <QApplication>
#include <QIcon>
#include <QLoggingCategory>
#include <QMessageBox>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // Commands that print and end: no window, no lock, nothing written.
    const std::vector<std::string> args(argv, argv + argc);
    if (ambrin::IsStripCommand(args)) return ambrin::RunStripCommand(args, std::cout, std::cerr);
    if (ambrin::IsReportCommand(args)) return ambrin::RunReport(args, ambrin::CurrentLogPathToRead(), std::cout, std::cerr);

    // Under Wayland a window can neither stay on top nor place itself.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    (void)ambrin::TraceResources();  // keeps the trace resources in the program
    // --verbose: what the program chose about its surroundings (the sources of time away).
    const bool verbose = std::find(args.begin(), args.end(), "--verbose") != args.end();

    ambrin::App app;
    // Two copies on one log folder would each rewrite it from their own memory.
    auto instance = std::make_unique<ambrin::SingleInstance>(app.Locations().LogFolder());
    // The log is read while Qt starts and the strip is made; its paths are worked out first,
    // before any thread starts.
    if (instance->IsFirst()) app.BeginLoading();

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ambrin"));
    QApplication::setWindowIcon(ambrin::AppIcon());
    if (verbose) QLoggingCategory::setFilterRules(QStringLiteral("ambrin.*.info=true"));
    if (!instance->IsFirst()) {
        const std::string other = instance->OtherUser();
        QString text = QStringLiteral("Ambrin is already running.");
        if (other.empty()) {
            instance->AskRunningCopyToShow();
        } else {
            // A shared folder: this copy ends without touching the other user's files.
            text = QStringLiteral("%1 is using Ambrin's files in %2, so this copy of Ambrin ends without touching them.")
                       .arg(QString::fromStdString(other), QString::fromStdString(app.Locations().LogFolder()));
        }
        QMessageBox box(QMessageBox::Information, QString::fromLatin1(ambrin::kAppName), text, QMessageBox::Ok);
        box.exec();
        return 0;
    }
    const int result = app.Run(*instance);
    instance.reset();  // its socket closes while the application is still there
    return result;
}
