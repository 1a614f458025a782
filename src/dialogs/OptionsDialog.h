#pragma once

#include "dialogs/common/DialogBase.h"

class QCheckBox;
class QSpinBox;

namespace ambrin {

class FileLocations;
class ProjectList;
class TimeLog;

// The about box, the five options and the question about time away; OK stores them, Escape stores nothing. From here the
// Edit Log dialog works on the log and the project list editor on the list.
class OptionsDialog : public DialogBase {
    Q_OBJECT
public:
    OptionsDialog(TimeLog& log, ProjectList& projects, FileLocations& locations, QWidget* parent);

    // The maker's page opened by "Visit Velmora Software Website".
    static constexpr const char* kWebsite = "https://velmora-software.example/ambrin";

    // After OK: whether the strip is to stay on top of other windows.
    bool StayOnTop() const;
    // Whether the Edit Log's OK replaced the log, or the project list editor's OK the list.
    bool LogReplaced() const { return logReplaced_; }
    bool ListEdited() const { return listEdited_; }

    void accept() override;

private:
    TimeLog& log_;
    ProjectList& projects_;
    FileLocations& locations_;
    QCheckBox* boxes_[5] = {};
    QCheckBox* awayCheck_ = nullptr;
    QSpinBox* awayMinutes_ = nullptr;
    QCheckBox* startAtLogin_ = nullptr;
    bool logReplaced_ = false;
    bool listEdited_ = false;
};

}  // namespace ambrin
