#include "dialogs/common/Help.h"

#include "dialogs/common/QtText.h"
#include "storage/FileLocations.h"

#include <QMessageBox>

namespace ambrin {

bool ShowHelp()
{
    std::string path;
    if (!LaunchHelp(path)) {
        QMessageBox box(QMessageBox::Critical, kAppName,
                        QStringLiteral("Unable to find or open Ambrin help file %1").arg(ToQString(path)),
                        QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
        box.setObjectName("helpError");
        box.exec();
    }
    return true;
}

}  // namespace ambrin
