#pragma once

#include "dialogs/HelpDialog.h"

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QDateEdit;
class QItemSelection;
class QLineEdit;
class QPlainTextEdit;
class QTableView;
class QTimeEdit;
class QTimer;

namespace ambrin {

class App;
class LogTableModel;
class TimeLog;

// Reviews and corrects the whole log on a working copy; OK copies it back over the
// application's log, Cancel drops it.
class EditLogDialog : public HelpDialog {
    Q_OBJECT
public:
    explicit EditLogDialog(App& app, QWidget* parent = nullptr);
    ~EditLogDialog() override;

    // Chooses the file for Save Log (save true) or Load Log; an empty result cancels.
    // Tests replace the platform's file dialog with their own choice.
    using FileChooser = std::function<QString(QWidget* parent, bool save, const QString& folder)>;
    static void SetFileChooser(FileChooser chooser);

    const TimeLog& WorkingLog() const { return *working_; }
    int SelectionMark() const { return mark_; }
    // No first-row or detail load still to come.
    bool Settled() const;

    static constexpr int kTimerMilliseconds = 100;

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void SelectRow(int row);
    void OnSelectionChanged(const QItemSelection& selected);
    void FirstRowTimerFired();
    void LoadDetails();
    void Commit();
    void NewRecord();
    void DeleteRecord();
    void DeleteAll();
    void SaveLog();
    void LoadLog();
    void ShowMessage(const QString& text);
    void MarkPending() { pending_ = true; }

    App& app_;
    std::unique_ptr<TimeLog> working_;
    LogTableModel* model_ = nullptr;
    int mark_ = -1;  // the row the detail controls edit; kept by us, not the view
    bool pending_ = true;
    bool ignoreSelection_ = false;

    // What the detail controls were loaded with: a text left as shown keeps its bytes.
    std::string loadedProject_;
    std::string loadedNotes_;

    QTableView* list_ = nullptr;
    QLineEdit* projectEdit_ = nullptr;
    QTimeEdit* startTime_ = nullptr;
    QDateEdit* startDate_ = nullptr;
    QCheckBox* endCheck_ = nullptr;
    QTimeEdit* endTime_ = nullptr;
    QDateEdit* endDate_ = nullptr;
    QPlainTextEdit* notesEdit_ = nullptr;
    QTimer* firstRowTimer_ = nullptr;
    QTimer* detailTimer_ = nullptr;
};

}  // namespace ambrin
