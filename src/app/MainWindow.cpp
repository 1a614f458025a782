#include "app/MainWindow.h"

#include "Version.h"
#include "app/App.h"
#include "app/AwayWatch.h"
#include "app/FileKeeper.h"
#include "app/SessionEnd.h"
#include "app/StripAccessibility.h"
#include "app/StripControls.h"
#include "app/TrayIcon.h"
#include "core/ProjectName.h"
#include "core/ProjectSwitch.h"
#include "core/RunningStatus.h"
#include "dialogs/NotesDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/SummaryDialog.h"
#include "dialogs/common/Help.h"
#include "dialogs/common/Icons.h"
#include "dialogs/common/QtText.h"
#include "storage/LogFiles.h"
#include "storage/SettingsStore.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QCollator>
#include <QComboBox>
#include <QCursor>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <algorithm>

namespace ambrin {

namespace {

// The keys that open a control's menu: the menu key and Shift+F10.
bool IsMenuKey(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Menu || (key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier);
}

}  // namespace

MainWindow::MainWindow(App& app, QWidget* parent)
    : QWidget(parent),
      app_(app),
      pickerEditStamp_(std::make_unique<ClockTime>())
{
    setObjectName("mainWindow");
    setWindowTitle(QStringLiteral("Ambrin %1").arg(QLatin1String(kVersion)));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    StayOnTop(SettingsStore::IsOn(settings::kTopmost));
    InstallStripAccessibility();
    BuildControls();
    keeper_ = new FileKeeper(app_, app_.LoadFiles(), warningButton_, this);
    keeper_->WhileIdle();  // conflict copies a sync engine left while Ambrin was not running
    RefreshProjects();
    // However the session ends, the running record is ended as the options say, and saved.
    new SessionEnd([this] { EndOfRun(); }, this);
    QTimer::singleShot(0, keeper_, &FileKeeper::TellOfStart);
    away_ = new AwayWatch(app_.Log(), app_.Projects(),
                          {[this] { if (keeper_->CatchUp()) RefreshProjects(); }, [this] { RefreshProjects(); SaveFiles(); }}, this);
    QTimer::singleShot(0, away_, &AwayWatch::AddSessionSources);  // after the strip shows: buses answer late
    tray_ = new TrayIcon(*this, app_);
    pickerEditStamp_->Clear();
    SetPickers(ClockTime::Now());

    timer_ = new QTimer(this);
    timer_->setObjectName("tickTimer");
    connect(timer_, &QTimer::timeout, this, &MainWindow::Tick);
    timer_->start(kTickMilliseconds);
    connect(qApp, &QApplication::focusChanged, this, &MainWindow::OnFocusChanged);
    move(0, 0);
    combo_->setFocus();
}

MainWindow::~MainWindow()
{
    // Destroying the children moves the focus; this object must no longer hear of it.
    disconnect(qApp, &QApplication::focusChanged, this, nullptr);
    EndOfRun();
}

void MainWindow::BuildControls()
{
    const StripControls c = BuildStripControls(this);
    combo_ = c.combo;
    notesButton_ = c.notes;
    timePicker_ = c.time;
    datePicker_ = c.date;
    warningButton_ = c.saveWarning;
    optionsButton_ = c.options;
    combo_->installEventFilter(this);
    combo_->lineEdit()->installEventFilter(this);
    connect(combo_, &QComboBox::activated, this, [this] { ChangeProject(); });
    connect(notesButton_, &QToolButton::clicked, this, &MainWindow::EditNotes);
    connect(optionsButton_, &QToolButton::clicked, this, &MainWindow::ShowOptions);
    for (QDateTimeEdit* picker : {static_cast<QDateTimeEdit*>(timePicker_), static_cast<QDateTimeEdit*>(datePicker_)}) {
        picker->installEventFilter(this);
        connect(picker, &QDateTimeEdit::dateTimeChanged, this, &MainWindow::PickerChanged);
    }
    for (QWidget* control : {static_cast<QWidget*>(combo_->lineEdit()), static_cast<QWidget*>(timePicker_),
                             static_cast<QWidget*>(datePicker_)}) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this,
                [this, control](const QPoint& at) { ShowMenu(control, control->mapToGlobal(at)); });
    }
}

void MainWindow::RefreshProjects()
{
    // A name being typed is not taken from under the person's fingers.
    QLineEdit* edit = combo_->lineEdit();
    const bool typing = edit->hasFocus() && edit->isModified();
    const QString typed = edit->text();
    TimeRecord* open = app_.Log().Current(true);
    const std::string running(TrimSpaces(open->project));
    ProjectList& projects = app_.Projects();
    projects.AddName(open->project);
    projects.AddName(kIdleProject);

    std::vector<std::pair<QString, int>> items;
    for (std::uint32_t i = 0; i < projects.Count(); ++i) {
        items.emplace_back(ToQString(projects.At(i)), static_cast<int>(i));
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
        return collator.compare(a.first, b.first) < 0;
    });

    const QSignalBlocker blocker(combo_);
    combo_->clear();
    for (const auto& [text, index] : items) combo_->addItem(text, index);
    const QString wanted = ToQString(running.empty() ? kIdleProject : std::string_view(running));
    shownProject_ = wanted;
    UpdateStatusTip();
    const int found = combo_->findText(wanted, Qt::MatchStartsWith);
    combo_->setCurrentIndex(found);
    if (found < 0) combo_->setEditText(QString());
    if (typing) {
        combo_->setEditText(typed);
        edit->setModified(true);
    } else {
        edit->selectAll();  // as the selection of an item does on Windows: a name typed next replaces it
    }
    emit LogChanged();
}

void MainWindow::ChangeProject()
{
    if (changing_) return;  // a focus change while the notes editor opens
    // The focus leaving for a dialog may be told late, even after the dialog's changes: with
    // nothing new chosen there is nothing to switch, and the dialog settles the files itself.
    const bool unchanged = combo_->currentText().trimmed().compare(shownProject_, Qt::CaseInsensitive) == 0;
    if (unchanged && QApplication::activeModalWidget()) return;
    changing_ = true;
    // The switch goes on top of what other programs wrote. When they changed it under a
    // drop-down the person left as it was (a focus change), the new state is shown, not undone.
    if (keeper_->CatchUp() && unchanged) {
        RefreshProjects();
        changing_ = false;
        return;
    }
    // The chosen item's list entry while the text is the item's own, else the typed text.
    std::string chosen;
    const int index = combo_->currentIndex();
    bool valid = false;
    const int listIndex = index >= 0 ? combo_->itemData(index).toInt(&valid) : -1;
    if (index >= 0 && combo_->itemText(index) == combo_->currentText() && valid && listIndex >= 0 &&
        static_cast<std::uint32_t>(listIndex) < app_.Projects().Count()) {
        chosen = app_.Projects().At(static_cast<std::uint32_t>(listIndex));
    } else {
        chosen = ToBytes(combo_->currentText());
    }
    if (SwitchProject(app_.Log(), chosen, ReadPickerTime(), SettingsStore::IsOn(settings::kRoundTimes))) {
        app_.Projects().AddName(chosen);
        QMetaObject::invokeMethod(this, &MainWindow::RefreshProjects, Qt::QueuedConnection);
        pickerEditStamp_->Clear();
        if (TrimSpaces(chosen) != kIdleProject && SettingsStore::IsOn(settings::kPopNote)) EditNotes();
    }
    SaveFiles();
    changing_ = false;
}

ClockTime MainWindow::ReadPickerTime() const
{
    const QDate date = datePicker_->date();
    const QTime time = timePicker_->time();
    ClockTime value;
    value.FromFields(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
    return value;
}

void MainWindow::PickerChanged()
{
    const std::int64_t offset = SecondsBetween(ClockTime::Now(), ReadPickerTime());
    if (offset < -kClockToleranceSeconds || offset > kClockToleranceSeconds) {
        *pickerEditStamp_ = ClockTime::Now();
    }
}

void MainWindow::Tick()
{
    const ClockTime now = ClockTime::Now();
    if (keeper_->WhileIdle()) RefreshProjects();
    UpdateStatusTip();
    if (!pickerEditStamp_->IsEmpty() && SecondsBetween(now, *pickerEditStamp_) < kHoldSeconds) return;
    SetPickers(now);
}

void MainWindow::UpdateStatusTip()
{
    const QString tip = StatusTip(shownProject_, StatusOf(app_.Log(), ClockTime::Now(), SystemUtcOffset), ClockTime::Now());
    if (tip == combo_->toolTip()) return;
    combo_->setToolTip(tip);
    if (QToolTip::isVisible() && combo_->underMouse()) QToolTip::showText(QCursor::pos(), tip, combo_);  // while it shows
}

void MainWindow::SetPickers(ClockTime time)
{
    const CalendarFields f = time.Fields();
    const QSignalBlocker blockDate(datePicker_);
    const QSignalBlocker blockTime(timePicker_);
    datePicker_->setDate(QDate(f.year, f.month, f.day));
    timePicker_->setTime(QTime(f.hour, f.minute, f.second));
}

void MainWindow::EditNotes()
{
    TimeRecord* record = app_.Log().Current(true);
    NotesDialog dialog(record->notes, this);
    if (dialog.exec() == QDialog::Accepted) {
        // Another program may have changed the log while the dialog ran; the notes go on the
        // running record as it is now.
        if (keeper_->CatchUp()) RefreshProjects();
        app_.Log().Current(true)->notes = dialog.Notes();
    }
    SaveFiles();
}

void MainWindow::SaveFiles()
{
    keeper_->Save();
}

void MainWindow::ShowOptions()
{
    const std::uint64_t logReads = keeper_->Files().LogReads();
    OptionsDialog dialog(app_.Log(), app_.Projects(), app_.Locations(), this);
    if (dialog.exec() == QDialog::Accepted) StayOnTop(dialog.StayOnTop());
    // The project list or the log may have been edited there, and the files changed meanwhile.
    if (dialog.ListEdited()) keeper_->Files().MarkUnsaved();
    SettleAfterDialog(logReads, dialog.LogReplaced());
}

void MainWindow::SettleAfterDialog(std::uint64_t logReadsAtOpen, bool logReplaced)
{
    changing_ = true;  // the question's window takes the focus from the drop-down: that is no switch
    if (logReplaced) keeper_->SettleEditedLog(logReadsAtOpen);
    else keeper_->CatchUp();
    changing_ = false;
    RefreshProjects();
    SaveFiles();
}

void MainWindow::ShowSummary()
{
    if (!summary_) {
        summary_ = new SummaryDialog(app_.Log(), this);
        summary_->setAttribute(Qt::WA_DeleteOnClose);
        connect(this, &MainWindow::LogChanged, summary_, &SummaryDialog::Refresh);
        PlaceBesideStrip(summary_, this);
    }
    summary_->show();
    summary_->raise();
    summary_->activateWindow();
}

void MainWindow::StayOnTop(bool onTop)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
    // Changing the flag hides the window; show it again.
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) show();
}

bool MainWindow::EndOfRun()
{
    if (shutDown_) return false;
    shutDown_ = true;
    keeper_->CatchUp();
    TimeRecord* open = SettingsStore::IsOn(settings::kEndProj) ? app_.Log().Current(false) : nullptr;
    if (open) open->end = ClockTime::Now();
    keeper_->SaveQuietly();
    return open != nullptr;
}

bool MainWindow::IsComboPart(const QWidget* widget) const
{
    if (!widget) return false;
    const QWidget* popup = combo_->view();
    return widget == combo_ || combo_->isAncestorOf(widget) ||
           (popup && (widget == popup || popup->isAncestorOf(widget) || widget == popup->window()));
}

void MainWindow::OnFocusChanged(QWidget* old, QWidget* now)
{
    // The drop-down losing the focus to anything but itself or its popup.
    if (IsComboPart(old) && !IsComboPart(now) && !shutDown_) ChangeProject();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel && watched == combo_ && !combo_->view()->isVisible()) {
        return true;  // the wheel would switch projects
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool popupOpen = combo_->view()->isVisible();
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !popupOpen) {
            ChangeProject();
            return true;
        }
        if (IsMenuKey(*key) && watched->isWidgetType()) {
            auto* control = static_cast<QWidget*>(watched);
            ShowMenu(control == combo_ ? combo_->lineEdit() : control, control->mapToGlobal(control->rect().center()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_F1:
        ShowHelp();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A focused button takes Enter as it takes Space: it opens its window.
        if (auto* button = qobject_cast<QToolButton*>(focusWidget())) {
            button->click();
        } else {
            ChangeProject();
        }
        return;
    case Qt::Key_Escape:
        return;  // never closes the strip
    default:
        if (IsMenuKey(*event)) {
            QWidget* at = focusWidget() ? focusWidget() : this;
            ShowMenu(nullptr, at->mapToGlobal(at->rect().center()));
            return;
        }
        QWidget::keyPressEvent(event);
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!closeConfirmed_) {
        QMessageBox box(QMessageBox::NoIcon, kAppName, QStringLiteral("Are you sure you want to close Ambrin?"),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName("closeQuestion");
        box.setDefaultButton(QMessageBox::Yes);
        if (box.exec() != QMessageBox::Yes) {
            event->ignore();
            return;
        }
        closeConfirmed_ = true;
    }
    const bool ended = EndOfRun();
    if (!keeper_->Files().Unsaved() || keeper_->AllowQuitUnsaved()) {
        event->accept();
        return;
    }
    // Keep trying: the strip runs on as it was.
    if (ended) app_.Log().At(app_.Log().Count() - 1).end.Clear();
    shutDown_ = closeConfirmed_ = false;
    SaveFiles();
    event->ignore();
}

void MainWindow::changeEvent(QEvent* event)
{
    // The options dots are drawn in the text colour: a dark palette gets light dots.
    if (event->type() == QEvent::PaletteChange && optionsButton_) {
        optionsButton_->setIcon(OptionsIcon(palette().color(QPalette::ButtonText)));
    }
    QWidget::changeEvent(event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event)
{
    ShowMenu(nullptr, event->globalPos());
}

void MainWindow::ShowMenu(QWidget* control, QPoint globalPos)
{
    // The project's text keeps its own edit actions above the strip's.
    auto* edit = qobject_cast<QLineEdit*>(control);
    std::unique_ptr<QMenu> menu(edit ? edit->createStandardContextMenu() : new QMenu(this));
    if (edit) menu->addSeparator();
    menu->addAction(QStringLiteral("&Summary..."), this, &MainWindow::ShowSummary);
    menu->addAction(QStringLiteral("&About Ambrin..."), this, &MainWindow::ShowOptions);
    menu->exec(globalPos);
}

}  // namespace ambrin
