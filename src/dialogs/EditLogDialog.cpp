#include "dialogs/EditLogDialog.h"

#include "core/LogText.h"
#include "core/TimeLog.h"
#include "dialogs/LogCellDelegate.h"
#include "dialogs/LogTableModel.h"
#include "dialogs/RecordDetails.h"
#include "dialogs/common/Accessibility.h"
#include "dialogs/common/Help.h"
#include "dialogs/common/QtText.h"
#include "platform/FileSystem.h"
#include "storage/CsvLog.h"
#include "storage/FileLocations.h"
#include "storage/SettingsStore.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <istream>
#include <utility>

namespace ambrin {

namespace {

QString DefaultChooser(QWidget* parent, bool save, const QString& folder)
{
    QFileDialog dialog(parent, save ? QStringLiteral("Save Log") : QStringLiteral("Load Log"), folder,
                       QStringLiteral("Ambrin Log Files (*.csv)"));
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

EditLogDialog::FileChooser& Chooser()
{
    static EditLogDialog::FileChooser chooser = DefaultChooser;
    return chooser;
}

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent,
                        const QString& description)
{
    auto* button = new QPushButton(text, parent);
    Describe(button, {}, description);
    button->setObjectName(name);
    return button;
}

}  // namespace

void EditLogDialog::SetFileChooser(FileChooser chooser)
{
    Chooser() = chooser ? std::move(chooser) : FileChooser(DefaultChooser);
}

EditLogDialog::EditLogDialog(TimeLog& log, FileLocations& locations, QWidget* parent)
    : DialogBase(parent), log_(log), locations_(locations), working_(std::make_unique<TimeLog>())
{
    setObjectName("editLogDialog");
    setWindowTitle(QStringLiteral("Edit Log"));
    working_->Assign(log_);
    working_->SortByTime();
    BuildControls();

    firstRowTimer_ = new QTimer(this);
    firstRowTimer_->setSingleShot(true);
    connect(firstRowTimer_, &QTimer::timeout, this, &EditLogDialog::FirstRowTimerFired);
    detailTimer_ = new QTimer(this);
    detailTimer_->setSingleShot(true);
    connect(detailTimer_, &QTimer::timeout, this, &EditLogDialog::LoadDetails);
    firstRowTimer_->start(kTimerMilliseconds);
}

EditLogDialog::~EditLogDialog() = default;

bool EditLogDialog::Settled() const
{
    return !firstRowTimer_->isActive() && !detailTimer_->isActive();
}

void EditLogDialog::BuildControls()
{
    model_ = new LogTableModel(*working_, this);
    list_ = new QTableView(this);
    list_->setObjectName("logList");
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    list_->setTabKeyNavigation(false);  // Tab leaves the list; arrow keys move within it
    list_->setShowGrid(false);
    // Row heights are set while there are no rows: set after, each of 100,000 rows would
    // be resized and announced on its own.
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->setModel(model_);
    list_->setItemDelegate(new LogCellDelegate(list_));
    Describe(list_, QStringLiteral("Records"), QStringLiteral("Every record of the log; select one to edit it below"));
    list_->viewport()->installEventFilter(this);
    list_->installEventFilter(this);
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected) { OnSelectionChanged(selected); });

    auto* newButton = MakeButton(QStringLiteral("&New"), "newButton", this,
                                 QStringLiteral("Add a record before the selected one"));
    auto* deleteButton = MakeButton(QStringLiteral("&Delete"), "deleteButton", this,
                                    QStringLiteral("Remove the selected record"));
    auto* deleteAllButton = MakeButton(QStringLiteral("Delete &All"), "deleteAllButton", this,
                                       QStringLiteral("Remove every record"));
    connect(newButton, &QPushButton::clicked, this, &EditLogDialog::NewRecord);
    connect(deleteButton, &QPushButton::clicked, this, &EditLogDialog::DeleteRecord);
    connect(deleteAllButton, &QPushButton::clicked, this, &EditLogDialog::DeleteAll);

    details_ = new RecordDetails(this);
    connect(details_, &RecordDetails::Edited, this, [this] { pending_ = true; });
    for (QWidget* control : details_->Controls()) control->installEventFilter(this);

    auto* saveButton = MakeButton(QStringLiteral("&Save Log"), "saveButton", this,
                                  QStringLiteral("Save these records to a log file of your choice"));
    auto* loadButton = MakeButton(QStringLiteral("&Load Log"), "loadButton", this,
                                  QStringLiteral("Replace these records with a log file's"));
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    Describe(okButton, {}, QStringLiteral("Keep every change made here"));
    auto* cancelButton = MakeButton(QStringLiteral("&Cancel"), "cancelButton", this,
                                    QStringLiteral("Drop every change made here"));
    connect(saveButton, &QPushButton::clicked, this, &EditLogDialog::SaveLog);
    connect(loadButton, &QPushButton::clicked, this, &EditLogDialog::LoadLog);
    connect(okButton, &QPushButton::clicked, this, &EditLogDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &EditLogDialog::reject);

    auto* listButtons = new QHBoxLayout;
    listButtons->addStretch();
    for (QPushButton* b : {newButton, deleteButton, deleteAllButton}) listButtons->addWidget(b);
    listButtons->addStretch();

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(saveButton);
    bottom->addWidget(loadButton);
    bottom->addStretch();
    bottom->addWidget(okButton);
    bottom->addStretch();
    bottom->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(listButtons);
    layout->addWidget(details_);
    layout->addLayout(bottom);
    setTabOrder(list_, newButton);
    setTabOrder(newButton, deleteButton);
    setTabOrder(deleteButton, deleteAllButton);
    setTabOrder(deleteAllButton, details_->Controls().front());
    setTabOrder(details_->Controls().back(), saveButton);
    setTabOrder(saveButton, loadButton);
    setTabOrder(loadButton, okButton);
    setTabOrder(okButton, cancelButton);
    resize(760, 480);
}

void EditLogDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Column widths from the list's width less a scroll bar: 1/4, 1/4, 2/5, 1/10.
    const int width = list_->viewport()->width() - list_->verticalScrollBar()->sizeHint().width();
    const int widths[] = {width / 4, width / 4, 2 * width / 5, width / 10};
    for (int column = 0; column < LogTableModel::ColumnCount; ++column) {
        list_->setColumnWidth(column, widths[column]);
    }
}

void EditLogDialog::SelectRow(int row)
{
    const QModelIndex index = model_->index(row, 0);
    list_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list_->scrollTo(index);
}

void EditLogDialog::OnSelectionChanged(const QItemSelection& selected)
{
    if (ignoreSelection_ || selected.indexes().isEmpty()) return;
    // The edits belong to the row that was marked; the new row is marked after the commit.
    Commit();
    mark_ = selected.indexes().first().row();
    detailTimer_->start(kTimerMilliseconds);
}

void EditLogDialog::FirstRowTimerFired()
{
    if (working_->Count() == 0) return;
    list_->setFocus();
    mark_ = 0;
    SelectRow(0);
}

void EditLogDialog::LoadDetails()
{
    detailTimer_->stop();
    const bool marked = mark_ >= 0 && static_cast<std::uint32_t>(mark_) < working_->Count();
    details_->Load(marked ? &working_->View(static_cast<std::uint32_t>(mark_)) : nullptr);
    pending_ = false;
}

void EditLogDialog::Commit()
{
    if (!pending_ || mark_ < 0 || static_cast<std::uint32_t>(mark_) >= working_->Count()) return;
    // An empty project blocks the whole commit; the edits stay pending.
    if (!details_->Commit(working_->At(static_cast<std::uint32_t>(mark_)))) return;
    pending_ = false;
    // The next row shows its date by where this record ends; no other row changed.
    model_->RefreshRows(mark_, mark_ + 1);
}

void EditLogDialog::NewRecord()
{
    Commit();
    const ClockTime now = ClockTime::Now();
    const std::uint32_t count = working_->Count();
    const bool marked = mark_ >= 0 && static_cast<std::uint32_t>(mark_) < count;
    const int row = marked ? mark_ : static_cast<int>(count);
    model_->BeginInsertAt(row);
    working_->InsertAt(static_cast<std::uint32_t>(row), {}, {}, now, now);
    model_->EndInsert();
    model_->RefreshAll();
    // Marked first: a pending edit the first commit could not place goes into the new record.
    mark_ = row;
    SelectRow(row);
}

void EditLogDialog::DeleteRecord()
{
    const int row = mark_;
    if (row < 0 || static_cast<std::uint32_t>(row) >= working_->Count()) return;
    ignoreSelection_ = true;
    model_->BeginRemoveAt(row);
    working_->RemoveAt(static_cast<std::uint32_t>(row));
    model_->EndRemove();
    // The mark stays on the same place: the next record, or the last one.
    const int count = static_cast<int>(working_->Count());
    mark_ = count == 0 ? -1 : std::min(row, count - 1);
    if (mark_ >= 0) SelectRow(mark_);
    ignoreSelection_ = false;
    model_->RefreshAll();
    LoadDetails();
}

void EditLogDialog::DeleteAll()
{
    pending_ = false;
    model_->BeginReset();
    working_->Clear();
    model_->EndReset();
    mark_ = -1;
}

void EditLogDialog::ShowMessage(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kAppName), text, QMessageBox::Ok, this);
    box.setObjectName("logMessage");
    box.exec();
}

void EditLogDialog::SaveLog()
{
    const QString folder = ToQString(locations_.LogFolder());
    const QString chosen = Chooser()(this, true, folder);
    if (chosen.isEmpty()) return;
    std::uint32_t totals = 0;
    SettingsStore::ReadNumber(SettingsRoot::CurrentUser, settings::kKeyPath,
                              settings::kIncludeTotals.name, totals);
    const auto logText = [this, totals](const platform::PieceWriter& write) {
        return WriteLogPieces(*working_, totals != 0, write);
    };
    switch (platform::ReplaceFileContents(QFile::encodeName(chosen).toStdString(), logText)) {
    case platform::ReplaceResult::Replaced:
        break;
    case platform::ReplaceResult::CannotCreate:
        ShowMessage(QStringLiteral("Unable to create timelog file to save to"));
        break;
    case platform::ReplaceResult::WriteFailed:
        ShowMessage(QStringLiteral("Error writing timelog file"));
        break;
    }
}

void EditLogDialog::LoadLog()
{
    const QString folder = ToQString(locations_.LogFolder());
    const QString chosen = Chooser()(this, false, folder);
    if (chosen.isEmpty()) return;
    platform::FileReadBuffer file;
    if (!file.Open(QFile::encodeName(chosen).toStdString())) {
        ShowMessage(QStringLiteral("Unable to open timelog file for loading"));
        return;
    }
    std::istream in(&file);
    model_->BeginReset();
    const bool ok = working_->ReadCsv(in);
    model_->EndReset();
    mark_ = -1;
    if (!ok) ShowMessage(QStringLiteral("Error loading timelog file"));
}

void EditLogDialog::accept()
{
    Commit();
    log_.Assign(*working_);
    QDialog::accept();
}

bool EditLogDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        detailTimer_->start(kTimerMilliseconds);  // a click on the selected row reloads it
    } else if (watched == list_ && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab) {
        // Ctrl+Tab moves on as Tab does, instead of searching the list for a tab.
        focusNextPrevChild(!(static_cast<QKeyEvent*>(event)->modifiers() & Qt::ShiftModifier));
        return true;
    } else if (event->type() == QEvent::FocusOut && watched != details_->NotesEdit()) {
        Commit();
    } else if (watched == details_->NotesEdit() && event->type() == QEvent::KeyPress &&
               HandleNotesEnter(details_->NotesEdit(), static_cast<QKeyEvent*>(event), [this] { accept(); })) {
        return true;  // Enter means OK, committing first
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace ambrin
