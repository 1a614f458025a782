#pragma once

#include <QString>

class QComboBox;
class QDateEdit;
class QTimeEdit;
class QToolButton;
class QWidget;

namespace ambrin {

class ClockTime;
struct RunningStatus;

// The strip's controls, left to right: what the strip's behaviour works on.
struct StripControls {
    QComboBox* combo = nullptr;
    QToolButton* notes = nullptr;
    QTimeEdit* time = nullptr;
    QDateEdit* date = nullptr;
    QToolButton* saveWarning = nullptr;  // shown only while a save fails
    QToolButton* options = nullptr;
};

// Makes the controls in strip, named, described for screen readers, in their tab order, laid
// out in one row that fits them.
StripControls BuildStripControls(QWidget* strip);

// The project box's tooltip: the running project whole, however narrow the box; its start,
// its time so far and the day's total.
QString StatusTip(const QString& project, const RunningStatus& status, ClockTime now);

// Puts a window the strip opens beside it, not over it: below it, or above it when the screen
// ends first.
void PlaceBesideStrip(QWidget* window, const QWidget* strip);

}  // namespace ambrin
