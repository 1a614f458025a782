#pragma once

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>

class QComboBox;
class QDateEdit;
class QTimeEdit;
class QTimer;
class QToolButton;

namespace ambrin {

class App;
class AwayWatch;
class ClockTime;
class FileKeeper;
class TrayIcon;
class SummaryDialog;
struct StripRequest;
struct TimeRecord;

// The tracking strip: a project drop-down, Notes, a time and a date picker, options.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(App& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    void RefreshProjects();
    void ChangeProject();
    ClockTime ReadPickerTime() const;
    void PickerChanged();
    void Tick();
    void EditNotes();
    void SaveFiles();
    void ShowOptions();
    // The Summary window, one at a time; it follows the log while it is open.
    void ShowSummary();
    void EditLog();  // the Edit Log on its own, as the tray menu opens it
    AwayWatch* Away() const { return away_; }
    TrayIcon* Tray() const { return tray_; }
    // A command from outside the strip; the reply line for it (app/RemoteCommands.cpp).
    std::string CarryOut(const StripRequest& request);

    static constexpr int kTickMilliseconds = 1000;
    static constexpr std::int64_t kHoldSeconds = 10;
    static constexpr std::int64_t kClockToleranceSeconds = 5;

signals:
    // The log may have changed: a switch, an edit, or another program's write caught up with.
    void LogChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildControls();
    void SetPickers(ClockTime time);
    // After a dialog that may have replaced the log (its OK) or the files (other programs):
    // the files settled, shown and saved.
    void SettleAfterDialog(std::uint64_t logReadsAtOpen, bool logReplaced);
    void UpdateStatusTip();
    void StayOnTop(bool onTop);
    // The strip's menu (About Ambrin...), wherever it is asked for: a right click or Shift+F10
    // on any control.
    void ShowMenu(QWidget* control, QPoint globalPos);
    // Ends the running record as the options say and saves, once, touching no window: the
    // display may be gone. True when it ended a record.
    bool EndOfRun();
    void OnFocusChanged(QWidget* old, QWidget* now);
    bool IsComboPart(const QWidget* widget) const;

    App& app_;
    FileKeeper* keeper_ = nullptr;
    QComboBox* combo_ = nullptr;
    QToolButton* notesButton_ = nullptr;
    QTimeEdit* timePicker_ = nullptr;
    QDateEdit* datePicker_ = nullptr;
    QToolButton* warningButton_ = nullptr;
    QToolButton* optionsButton_ = nullptr;
    QTimer* timer_ = nullptr;
    QPointer<SummaryDialog> summary_;
    AwayWatch* away_ = nullptr;
    TrayIcon* tray_ = nullptr;

    std::unique_ptr<ClockTime> pickerEditStamp_;  // empty value: not held
    bool closeConfirmed_ = false;
    bool shutDown_ = false;
    bool changing_ = false;
    QString shownProject_;  // the running project as the drop-down last showed it
};

}  // namespace ambrin
