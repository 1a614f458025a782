#include "app/TrayIcon.h"

#include "app/App.h"
#include "app/MainWindow.h"
#include "core/ProjectName.h"
#include "core/RunningStatus.h"
#include "core/StripRequest.h"
#include "dialogs/common/Icons.h"
#include "dialogs/common/QtText.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace ambrin {

TrayIcon::TrayIcon(MainWindow& strip, App& app)
    : QObject(&strip), strip_(strip), app_(app), menu_(std::make_unique<QMenu>())
{
    menu_->setObjectName("trayMenu");
    icon_ = new QSystemTrayIcon(AppIcon(), this);
    icon_->setContextMenu(menu_.get());
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger) return;
        if (strip_.isVisible() && !strip_.isMinimized()) {
            strip_.hide();
        } else {
            strip_.showNormal();
            strip_.raise();
            strip_.activateWindow();
        }
    });
    connect(&strip_, &MainWindow::LogChanged, this, &TrayIcon::Refresh);
    connect(&tick_, &QTimer::timeout, this, [this] { icon_->setToolTip(ToolTip()); });  // the time runs on
    tick_.start(15'000);
    Refresh();
    if (QSystemTrayIcon::isSystemTrayAvailable()) icon_->show();
}

TrayIcon::~TrayIcon() = default;

QString TrayIcon::ToolTip() const
{
    return ToQString(StatusText(StatusOf(app_.Log(), ClockTime::Now(), SystemUtcOffset)));
}

void TrayIcon::Refresh()
{
    icon_->setToolTip(ToolTip());
    Rebuild();
}

void TrayIcon::Rebuild()
{
    menu_->clear();
    // Through the strip's own handling of a command: the same switch, rounding and save.
    const auto start = [this](const std::string& name) {
        StripRequest request;
        request.kind = StripRequest::Kind::Start;
        request.text = name;
        strip_.CarryOut(request);
    };
    for (const std::string& name : RecentProjects(app_.Log(), kRecentProjects)) {
        QString text = ToQString(name);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));  // not a mnemonic
        menu_->addAction(text, this, [start, name] { start(name); });
    }
    menu_->addAction(QStringLiteral("<idle>"), this, [start] { start(std::string(kIdleProject)); });
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Notes..."), &strip_, &MainWindow::EditNotes);
    menu_->addAction(QStringLiteral("Current &Log..."), &strip_, &MainWindow::EditLog);
    menu_->addAction(QStringLiteral("S&ummary..."), &strip_, &MainWindow::ShowSummary);
    menu_->addAction(QStringLiteral("&Options..."), &strip_, &MainWindow::ShowOptions);
    menu_->addSeparator();
    menu_->addAction(QStringLiteral("&Show Ambrin"), this, [this] {
        strip_.showNormal();
        strip_.raise();
        strip_.activateWindow();
    });
    menu_->addAction(QStringLiteral("&Quit"), &strip_, &QWidget::close);
}

}  // namespace ambrin
