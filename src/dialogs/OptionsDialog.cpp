#include "dialogs/OptionsDialog.h"

#include "Version.h"
#include "dialogs/EditLogDialog.h"
#include "dialogs/ProjectListDialog.h"
#include "dialogs/SummaryDialog.h"
#include "dialogs/common/Accessibility.h"
#include "dialogs/common/Help.h"
#include "dialogs/common/Icons.h"
#include "dialogs/common/QtText.h"
#include "platform/StartAtLogin.h"
#include "storage/SettingsStore.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace ambrin {

namespace {

struct OptionBox {
    const settings::Option& option;
    const char* text;
    const char* name;
    const char* description;
};

// In the order of the dialog, which is also the order they are stored in.
const OptionBox kBoxes[] = {
    {settings::kTopmost, "Stay on top of other windows", "topmostCheck",
     "Keep the strip above every other window"},
    {settings::kPopNote, "Pop up Note editor on every new entry", "popNoteCheck",
     "Open the notes editor each time a project starts"},
    {settings::kEndProj, "End current project when quitting Ambrin", "endProjCheck",
     "Give the running record an end when Ambrin closes"},
    {settings::kRoundTimes, "Round all times to the nearest 15 minutes", "roundTimesCheck",
     "Round the time of each change of project to the quarter hour"},
    {settings::kIncludeTotals, "Include item totals in log file", "includeTotalsCheck",
     "Write each record's hours and minutes into log files"},
};

QFrame* Line(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

OptionsDialog::OptionsDialog(TimeLog& log, ProjectList& projects, FileLocations& locations, QWidget* parent)
    : DialogBase(parent), log_(log), projects_(projects), locations_(locations)
{
    setObjectName("optionsDialog");
    setWindowTitle(QStringLiteral("Ambrin options"));

    auto* icon = new QLabel(this);
    icon->setPixmap(AppIcon().pixmap(32, 32));
    auto* version = new QLabel(QStringLiteral("Ambrin Version %1").arg(QLatin1String(kVersion)), this);
    version->setTextFormat(Qt::PlainText);
    auto* notice = new QLabel(QStringLiteral("Your time, kept to the minute."), this);
    notice->setAlignment(Qt::AlignCenter);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addWidget(version, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(notice);
    layout->addWidget(Line(this));
    for (std::size_t i = 0; i < std::size(kBoxes); ++i) {
        boxes_[i] = new QCheckBox(QString::fromLatin1(kBoxes[i].text), this);
        boxes_[i]->setObjectName(kBoxes[i].name);
        Describe(boxes_[i], {}, QString::fromLatin1(kBoxes[i].description));
        boxes_[i]->setChecked(SettingsStore::IsOn(kBoxes[i].option));
        layout->addWidget(boxes_[i]);
    }
    // 0 asks never: the box unticked, the minutes kept at the default for the next tick.
    const std::uint32_t away = SettingsStore::Read(settings::kAwayMinutes);
    awayCheck_ = new QCheckBox(QStringLiteral("Ask about time &away after"), this);
    awayCheck_->setObjectName("awayCheck");
    awayCheck_->setChecked(away != 0);
    Describe(awayCheck_, {}, QStringLiteral("On return from a break, ask whether the time away stays on the running project"));
    awayMinutes_ = new QSpinBox(this);
    awayMinutes_->setObjectName("awayMinutesSpin");
    awayMinutes_->setRange(1, 240);
    awayMinutes_->setValue(away != 0 ? static_cast<int>(std::min<std::uint32_t>(away, 240))
                                     : static_cast<int>(settings::kAwayMinutes.defaultValue));
    awayMinutes_->setEnabled(away != 0);
    Describe(awayMinutes_, QStringLiteral("Minutes away"), QStringLiteral("Minutes without input, or locked or asleep, before asking"));
    connect(awayCheck_, &QCheckBox::toggled, awayMinutes_, &QWidget::setEnabled);
    auto* awayRow = new QHBoxLayout;
    awayRow->addWidget(awayCheck_);
    awayRow->addWidget(awayMinutes_);
    awayRow->addWidget(new QLabel(QStringLiteral("minutes"), this));
    awayRow->addStretch();
    layout->addLayout(awayRow);
    startAtLogin_ = new QCheckBox(QStringLiteral("Start Ambrin when I log &in"), this);
    startAtLogin_->setObjectName("startAtLoginCheck");
    startAtLogin_->setChecked(platform::StartsAtLogin());
    Describe(startAtLogin_, {}, QStringLiteral("Have the desktop start Ambrin at every login"));
    layout->addWidget(startAtLogin_);

    auto* logButton = Button(QStringLiteral("Current &Log"), "currentLogButton", this);
    auto* summaryButton = Button(QStringLiteral("&Summary..."), "summaryButton", this);
    auto* listButton = Button(QStringLiteral("Edit &Project List"), "projectListButton", this);
    auto* webButton = Button(QStringLiteral("Visit Velmora Software &Website"), "websiteButton", this);
    Describe(logButton, {}, QStringLiteral("Review and correct every record of the log"));
    Describe(summaryButton, {}, QStringLiteral("Totals per project by day, week or month"));
    Describe(listButton, {}, QStringLiteral("Edit the project names, one per line"));
    Describe(webButton, {}, QStringLiteral("Open the maker's web page in the browser"));
    for (QPushButton* b : {logButton, summaryButton, listButton, webButton}) layout->addWidget(b);
    layout->addWidget(Line(this));

    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName("okButton");
    okButton->setDefault(true);
    auto* helpButton = Button(QStringLiteral("&Help"), "helpButton", this);
    Describe(okButton, {}, QStringLiteral("Keep these options"));
    Describe(helpButton, {}, QStringLiteral("Open the help file"));
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(okButton);
    bottom->addWidget(helpButton);
    bottom->addStretch();
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(logButton, &QPushButton::clicked, this, [this] {
        EditLogDialog dialog(log_, locations_, this);
        if (dialog.exec() == QDialog::Accepted) logReplaced_ = true;
    });
    connect(summaryButton, &QPushButton::clicked, this, [this] { SummaryDialog(log_, this).exec(); });
    connect(listButton, &QPushButton::clicked, this,
            [this] { listEdited_ = ProjectListDialog::EditList(projects_, this) || listEdited_; });
    connect(webButton, &QPushButton::clicked, this,
            [] { QDesktopServices::openUrl(QUrl(QString::fromLatin1(kWebsite))); });
    connect(okButton, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(helpButton, &QPushButton::clicked, this, [] { ShowHelp(); });
    boxes_[0]->setFocus();
}

bool OptionsDialog::StayOnTop() const
{
    return boxes_[0]->isChecked();
}

void OptionsDialog::accept()
{
    for (std::size_t i = 0; i < std::size(kBoxes); ++i) {
        SettingsStore::Write(kBoxes[i].option, boxes_[i]->isChecked());
    }
    SettingsStore::WriteValue(settings::kAwayMinutes, awayCheck_->isChecked() ? static_cast<std::uint32_t>(awayMinutes_->value()) : 0);
    std::string reason;
    if (startAtLogin_->isChecked() != platform::StartsAtLogin() &&
        !platform::SetStartAtLogin(startAtLogin_->isChecked(), ToBytes(QCoreApplication::applicationFilePath()), reason)) {
        QMessageBox::warning(this, kAppName, QStringLiteral("Could not change whether Ambrin starts when you log in: %1.").arg(ToQString(reason)));
    }
    QDialog::accept();
}

}  // namespace ambrin
