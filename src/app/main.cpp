#include "app/App.h"
#include "diag/TraceLog.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Under Wayland a window can neither stay on top nor place itself.
    if (!std::getenv("QT_QPA_PLATFORM") && std::getenv("WAYLAND_DISPLAY") && std::getenv("DISPLAY")) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    (void)ambrin::TraceResources();  // keeps the trace resources in the program
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ambrin"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/ambrin.svg")));
    ambrin::App app;
    return app.Run();
}
