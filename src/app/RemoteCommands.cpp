// What the strip does for actions from outside its own controls: a command (ambrin --start,
// --stop, --notes, --status) and the tray menu's Current Log. The same switch, rounding and
// save as its own controls, without the notes window.
#include "app/App.h"
#include "app/FileKeeper.h"
#include "app/MainWindow.h"
#include "core/RunningStatus.h"
#include "core/StripRequest.h"
#include "dialogs/EditLogDialog.h"
#include "storage/LogFiles.h"
#include "storage/SettingsStore.h"

#include <QApplication>

namespace ambrin {

std::string MainWindow::CarryOut(const StripRequest& request)
{
    if (request.kind == StripRequest::Kind::Status) {
        const RunningStatus status = StatusOf(app_.Log(), ClockTime::Now(), SystemUtcOffset);
        return ReplyLine(true, request.json ? StatusJson(status) : StatusText(status) + "\n");
    }
    // A dialog may be working on a copy of the log: it settles the files when it closes.
    if (QApplication::activeModalWidget()) return ReplyLine(false, "Ambrin has a window open; finish it and try again");
    keeper_->CatchUp();
    const std::string problem = ApplyRequest(app_.Log(), request, ClockTime::Now(), SettingsStore::IsOn(settings::kRoundTimes));
    if (!problem.empty()) return ReplyLine(false, problem);
    if (request.kind == StripRequest::Kind::Start) app_.Projects().AddName(request.text);
    RefreshProjects();
    SaveFiles();
    if (keeper_->Files().Unsaved()) return ReplyLine(false, "done, but the files could not be saved; the strip shows why");
    return ReplyLine(true, StatusText(StatusOf(app_.Log(), ClockTime::Now(), SystemUtcOffset)) + "\n");
}

void MainWindow::EditLog()
{
    const std::uint64_t logReads = keeper_->Files().LogReads();
    EditLogDialog dialog(app_.Log(), app_.Locations(), this);
    SettleAfterDialog(logReads, dialog.exec() == QDialog::Accepted);
}

}  // namespace ambrin
