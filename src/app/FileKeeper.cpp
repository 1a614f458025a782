#include "app/FileKeeper.h"

#include "app/App.h"
#include "app/StripControls.h"
#include "core/LogText.h"
#include "dialogs/common/Help.h"
#include "dialogs/common/QtText.h"
#include "platform/FileSystem.h"
#include "platform/SettingsHive.h"
#include "storage/LogFiles.h"
#include "storage/SettingsStore.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace ambrin {

FileKeeper::FileKeeper(App& app, std::unique_ptr<LogFiles> files, QToolButton* warning, QWidget* strip)
    : QObject(strip), app_(app), files_(std::move(files)), warning_(warning), strip_(strip), retry_(new QTimer(this))
{
    retry_->setObjectName("saveRetryTimer");
    retry_->setInterval(kRetryMilliseconds);
    connect(retry_, &QTimer::timeout, this, &FileKeeper::Save);
    warning_->setIcon(strip->style()->standardIcon(QStyle::SP_MessageBoxWarning));
    warning_->hide();
    connect(warning_, &QToolButton::clicked, this, [this] {
        lastProblem_.clear();  // asked for: the message comes again if it still fails
        Save();
    });
    strip->installEventFilter(this);
}

FileKeeper::~FileKeeper() = default;

bool FileKeeper::CatchUp()
{
    return files_->ChangedOnDisk() && files_->ReadAgain();
}

bool FileKeeper::SaveQuietly()
{
    return !files_->Save(SettingsStore::IsOn(settings::kIncludeTotals)).has_value();
}

void FileKeeper::Save()
{
    const std::optional<SaveProblem> problem = files_->Save(SettingsStore::IsOn(settings::kIncludeTotals));
    if (problem) {
        ShowProblem(*problem);
        return;
    }
    retry_->stop();
    lastProblem_.clear();
    if (warning_) warning_->hide();
}

void FileKeeper::ShowProblem(const SaveProblem& problem)
{
    if (!retry_->isActive()) retry_->start();
    const QString where = ToQString(problem.path);
    const QString why = ToQString(problem.reason);
    if (warning_) {
        warning_->setToolTip(QStringLiteral("Not saved: %1\n%2\nEvery record is kept; Ambrin tries again every "
                                            "%3 seconds and at each change. Click to try now.")
                                 .arg(why, where)
                                 .arg(kRetryMilliseconds / 1000));
        warning_->setAccessibleName(QStringLiteral("Not saved: %1").arg(why));
        warning_->show();
    }
    if (!lastProblem_.empty()) return;  // told once; the button says the rest
    lastProblem_ = problem.reason;
    Tell(QStringLiteral("saveProblem"), QStringLiteral("Ambrin could not save %1.").arg(where),
         QStringLiteral("%1.\n\nEvery record stays in memory, and the file keeps what it held before. Ambrin tries "
                        "again at each change and every %2 seconds; the warning on the strip goes once a save "
                        "succeeds.")
             .arg(why)
             .arg(kRetryMilliseconds / 1000));
}

void FileKeeper::Tell(const QString& objectName, const QString& text, const QString& details, const QStringList& lines)
{
    // One message of a kind at a time: another while it is up adds its lines to it, so that a
    // busy sync engine does not stack a box over the strip for every copy it leaves.
    auto* box = strip_->findChild<QMessageBox*>(objectName, Qt::FindDirectChildrenOnly);
    if (!box) {
        // Not modal: the strip goes on working while the message is up.
        box = new QMessageBox(QMessageBox::Warning, kAppName, text, QMessageBox::Ok, strip_);
        box->setObjectName(objectName);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        // Shown without taking the keyboard: a name being typed in the strip would be cut short.
        box->setAttribute(Qt::WA_ShowWithoutActivating);
        // Closed, it takes no more lines, though it is deleted only later.
        connect(box, &QDialog::finished, box, [box] { box->setObjectName(QString()); });
    }
    const QStringList all = box->property("lines").toStringList() + lines;
    box->setProperty("lines", all);
    // The newest lines: the box stays within the screen however many come.
    constexpr qsizetype kMostLines = 8;
    QStringList shown = all.mid(std::max<qsizetype>(0, all.size() - kMostLines));
    if (all.size() > kMostLines) shown << QStringLiteral("... and %1 earlier").arg(all.size() - kMostLines);
    box->setText(text);
    box->setInformativeText(shown.isEmpty() ? details : shown.join(QLatin1Char('\n')) + QStringLiteral("\n\n") + details);
    if (strip_->isVisible()) {
        ShowBesideStrip(box);
    } else {
        // At start the strip is not shown yet: the message comes after it is.
        QTimer::singleShot(0, box, [this, box] { ShowBesideStrip(box); });
    }
}

void FileKeeper::ShowBesideStrip(QWidget* box) const
{
    // Beside the strip, not over what goes on working. A message grown over it by new lines goes
    // back beside it; one the person moved elsewhere stays. Shown first: it sizes itself then.
    const bool wasShown = box->isVisible();
    box->show();
    if (wasShown) KeepClearOfStrip(box);
    else PlaceBesideStrip(box, strip_);
}

void FileKeeper::KeepClearOfStrip(QWidget* box) const
{
    if (box->frameGeometry().intersects(strip_->frameGeometry())) PlaceBesideStrip(box, strip_);
}

bool FileKeeper::eventFilter(QObject* watched, QEvent* event)
{
    // The window manager frames the strip and it goes to its corner after the start's messages
    // are up, and the person may move it: the messages keep clear of it.
    if (watched == strip_ && event->type() == QEvent::Move) {
        for (QMessageBox* box : strip_->findChildren<QMessageBox*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (box->isVisible() && !box->isModal()) KeepClearOfStrip(box);
        }
    }
    return QObject::eventFilter(watched, event);
}

void FileKeeper::TellOfStart()
{
    const std::string hive = platform::UnreadableSettingsHive(settings::kKeyPath);
    if (!hive.empty() && !settingsTold_) {
        settingsTold_ = true;
        Tell(QStringLiteral("settingsProblem"), QStringLiteral("Ambrin could not read its settings in %1.").arg(ToQString(hive)),
             QStringLiteral("The file is left as it is. Until it is mended or removed, Ambrin uses its default "
                            "options and keeps its files in %1.")
                 .arg(ToQString(app_.Locations().LogFolder())));
    }
    const auto& aside = files_->SetAside();
    QStringList list;
    for (; setAsideTold_ < aside.size(); ++setAsideTold_) {
        list << QStringLiteral("%1: %2").arg(ToQString(aside[setAsideTold_].path), ToQString(aside[setAsideTold_].why));
    }
    if (list.isEmpty()) return;
    Tell(QStringLiteral("setAside"), QStringLiteral("Ambrin could not read a file and keeps it as it is."),
         QStringLiteral("The file is renamed with \".unreadable-\" and the time before Ambrin saves anew, so "
                        "nothing of it is lost."),
         list);
}

bool FileKeeper::WhileIdle()
{
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) return false;
    const std::vector<std::string> merged = files_->MergeConflictCopies();
    if (!merged.empty()) {
        QStringList names;
        for (const std::string& name : merged) names << ToQString(name);
        Save();
        Tell(QStringLiteral("conflictsMerged"),
             QStringLiteral("Ambrin merged copies that a sync program left beside its files."),
             QStringLiteral("Their records are in the log now, each once; the copies are in %1.")
                 .arg(ToQString(app_.Locations().LogFolder() + "/Backups")),
             names);
        return true;
    }
    const bool read = CatchUp();
    TellOfStart();  // a file found unreadable on the way is told of once
    return read;
}

void FileKeeper::SettleEditedLog(std::uint64_t logReadsAtOpen)
{
    // Read back meanwhile (a switch as the focus left the strip): memory held the file's records
    // and the edits took their place, so the question stands though the stamps agree.
    const bool readMeanwhile = files_->LogReads() != logReadsAtOpen;
    if (!readMeanwhile && !files_->ChangedOnDisk()) return;
    QMessageBox box(QMessageBox::Question, kAppName,
                    QStringLiteral("Another program changed the log while you edited it."),
                    QMessageBox::NoButton, strip_);
    box.setObjectName("editedOverChangedFile");
    box.setInformativeText(QStringLiteral("Keep the file's records and drop your edits, or replace the file with "
                                          "your edits? A replaced file is kept in Logs/Backups."));
    QPushButton* replace = box.addButton(QStringLiteral("&Replace the File"), QMessageBox::AcceptRole);
    replace->setObjectName("replaceFile");
    box.addButton(QStringLiteral("&Keep the File's Records"), QMessageBox::RejectRole)->setObjectName("keepFile");
    box.setDefaultButton(replace);
    box.exec();
    if (box.clickedButton() == replace) {
        files_->ReplaceChangedLog(readMeanwhile);
    } else {
        files_->TakeDiskLog();
        files_->ReadAgain();  // the project list too, when it changed
    }
}

bool FileKeeper::AllowQuitUnsaved()
{
    if (!files_->Unsaved()) return true;
    QMessageBox box(QMessageBox::Warning, kAppName, QStringLiteral("Some records are not saved yet."),
                    QMessageBox::NoButton, strip_);
    box.setObjectName("quitUnsaved");
    box.setInformativeText(QStringLiteral("%1\nIf Ambrin quits now, they are lost.").arg(warning_ ? warning_->toolTip() : QString()));
    QPushButton* keep = box.addButton(QStringLiteral("&Keep Trying"), QMessageBox::RejectRole);
    keep->setObjectName("keepTrying");
    QPushButton* copy = box.addButton(QStringLiteral("&Save a Copy..."), QMessageBox::ActionRole);
    copy->setObjectName("saveCopy");
    QPushButton* quit = box.addButton(QStringLiteral("&Quit Anyway"), QMessageBox::DestructiveRole);
    quit->setObjectName("quitAnyway");
    box.setDefaultButton(keep);
    box.exec();
    if (box.clickedButton() == quit) return true;
    return box.clickedButton() == copy && SaveCopy();
}

bool FileKeeper::SaveCopy()
{
    QFileDialog dialog(strip_, QStringLiteral("Save a Copy of the Log"), QStringLiteral("current log.csv"),
                       QStringLiteral("Logs (*.csv);;All files (*)"));
    dialog.setObjectName("saveCopyDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    const QString path = dialog.selectedFiles().front();
    const bool totals = SettingsStore::IsOn(settings::kIncludeTotals);
    const auto logText = [this, totals](const platform::PieceWriter& write) {
        return WriteLogPieces(app_.Log(), totals, write);
    };
    std::string reason;
    if (platform::ReplaceFileContents(ToBytes(path), logText, platform::FolderSync::Now, &reason) ==
        platform::ReplaceResult::Replaced) {
        return true;
    }
    QMessageBox::warning(strip_, kAppName, QStringLiteral("Could not save %1: %2.").arg(path, ToQString(reason)));
    return false;
}

}  // namespace ambrin
