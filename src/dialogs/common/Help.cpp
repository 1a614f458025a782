#include "dialogs/common/Help.h"

#include "dialogs/common/QtText.h"
#include "platform/FileSystem.h"
#include "storage/FileLocations.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <string>
#include <vector>

#ifndef AMBRIN_GUIDE_INSTALLED
#define AMBRIN_GUIDE_INSTALLED ""
#define AMBRIN_GUIDE_BUILT ""
#endif

namespace ambrin {

namespace {

// The user guide installed with Ambrin, else the one beside the build the program runs from;
// AMBRIN_GUIDE names another.
std::vector<std::string> GuidePaths()
{
    const QByteArray chosen = qgetenv("AMBRIN_GUIDE");
    if (!chosen.isEmpty()) return {chosen.toStdString()};
    const std::string installed = ToBytes(QCoreApplication::applicationDirPath()) + "/" + AMBRIN_GUIDE_INSTALLED;
    return {installed, AMBRIN_GUIDE_BUILT};
}

}  // namespace

bool ShowHelp()
{
    // The help file in the application folder first, as always; without one, the guide.
    std::string path;
    if (LaunchHelp(path)) return true;
    for (const std::string& guide : GuidePaths()) {
        if (!guide.empty() && platform::OpenWithDefaultHandler(guide)) return true;
    }
    QMessageBox box(QMessageBox::Critical, kAppName, QStringLiteral("Unable to find or open Ambrin help file %1").arg(ToQString(path)),
                    QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setObjectName("helpError");
    box.exec();
    return true;
}

}  // namespace ambrin
