#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QMessageBox;
class QTimer;
class QToolButton;
class QWidget;

namespace ambrin {

class App;
class LogFiles;
struct SaveProblem;

// Keeps the log and the project list on disk in step with the strip. A save that fails is
// shown (the strip's warning button, with the reason and the path, and one message), the
// records stay in memory, and the save is tried again at each change and on a timer. Changes
// other programs make are read back before each change and while the strip sits still, and
// conflict copies a sync engine leaves are merged.
class FileKeeper : public QObject {
    Q_OBJECT
public:
    // warning: the strip's button that shows a failing save; hidden while saves succeed.
    FileKeeper(App& app, std::unique_ptr<LogFiles> files, QToolButton* warning, QWidget* strip);
    ~FileKeeper() override;

    LogFiles& Files() { return *files_; }

    // Before the person's change: what other programs wrote since is read first; true when
    // memory changed.
    bool CatchUp();
    // Saves both files; a failure is shown and retried.
    void Save();
    // Saves, touching no window: for the end of a session, when the display may be gone.
    bool SaveQuietly();
    // After the Edit Log's OK over a file that changed while the dialog was open (changed on
    // disk, or read back since logReadsAtOpen): asks whether to keep the file's records or to
    // replace the file (kept in Logs/Backups).
    void SettleEditedLog(std::uint64_t logReadsAtOpen);
    // At a quit with records not on disk: true to quit, false to keep running and trying.
    bool AllowQuitUnsaved();
    // The once-told problems of the start: files kept aside, settings that could not be read.
    void TellOfStart();
    // The one-second tick: merges conflict copies and reads back what others changed, while no
    // dialog is open; true when memory changed.
    bool WhileIdle();

    static constexpr int kRetryMilliseconds = 30'000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowProblem(const SaveProblem& problem);
    // lines come before the details; they add up while the message of that name is still up.
    void Tell(const QString& objectName, const QString& text, const QString& details, const QStringList& lines = {});
    void ShowBesideStrip(QWidget* box) const;
    void KeepClearOfStrip(QWidget* box) const;  // moves it beside the strip if the strip covers it
    bool SaveCopy();

    App& app_;
    std::unique_ptr<LogFiles> files_;
    QPointer<QToolButton> warning_;
    QWidget* strip_;
    QTimer* retry_;
    std::string lastProblem_;  // the problem the person was told of; cleared by a good save
    std::size_t setAsideTold_ = 0;
    bool settingsTold_ = false;
};

}  // namespace ambrin
