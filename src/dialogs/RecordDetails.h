#pragma once

#include "dialogs/common/EditBoxBytes.h"

#include <QFrame>

#include <string>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QTimeEdit;

namespace ambrin {

struct TimeRecord;

// The Edit Log's controls for one record: project, start, end (or none) and notes. They are
// loaded from a record and committed into one; a text left as it was loaded keeps its bytes.
class RecordDetails : public QFrame {
    Q_OBJECT
public:
    explicit RecordDetails(QWidget* parent);

    // Shows the record; with none, clears the texts and shows the time now.
    void Load(const TimeRecord* record);
    // Writes the controls into the record; false, and nothing written, while the project is empty.
    bool Commit(TimeRecord& record) const;

    // The controls in their tab order.
    QList<QWidget*> Controls() const;
    QPlainTextEdit* NotesEdit() const { return notesEdit_; }

signals:
    // The user changed a control.
    void Edited();

private:
    std::string loadedProject_;
    EditBoxBytes notes_;
    QLineEdit* projectEdit_ = nullptr;
    QTimeEdit* startTime_ = nullptr;
    QDateEdit* startDate_ = nullptr;
    QCheckBox* endCheck_ = nullptr;
    QTimeEdit* endTime_ = nullptr;
    QDateEdit* endDate_ = nullptr;
    QPlainTextEdit* notesEdit_ = nullptr;
};

}  // namespace ambrin
