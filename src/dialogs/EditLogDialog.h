#pragma once

#include "dialogs/common/DialogBase.h"

#include <functional>
#include <memory>
#include <string>

class QItemSelection;
class QTableView;
class QTimer;

namespace ambrin {

class FileLocations;
class LogTableModel;
class RecordDetails;
class TimeLog;

// Reviews and corrects the whole log on a working copy; OK copies it back over the log it
// was given, Cancel drops it. Save Log and Load Log exchange log files in the log folder.
class EditLogDialog : public DialogBase {
    Q_OBJECT
public:
    EditLogDialog(TimeLog& log, FileLocations& locations, QWidget* parent = nullptr);
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

    TimeLog& log_;
    FileLocations& locations_;
    std::unique_ptr<TimeLog> working_;
    LogTableModel* model_ = nullptr;
    int mark_ = -1;  // the row the detail controls edit; kept by us, not the view
    bool pending_ = true;
    bool ignoreSelection_ = false;

    QTableView* list_ = nullptr;
    RecordDetails* details_ = nullptr;
    QTimer* firstRowTimer_ = nullptr;
    QTimer* detailTimer_ = nullptr;
};

}  // namespace ambrin
