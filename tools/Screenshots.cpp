// Draws every window offscreen with a few weeks of records and saves the pictures:
//   ambrin-screenshots <folder> <suffix> [dark]
// QT_SCALE_FACTOR=2 gives the 200 % pictures.
#include "app/App.h"
#include "app/MainWindow.h"
#include "core/TimeSummary.h"
#include "dialogs/EditLogDialog.h"
#include "dialogs/OptionsDialog.h"
#include "dialogs/SummaryDialog.h"
#include "dialogs/TimeAwayDialog.h"
#include "support/LogGenerator.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPalette>
#include <QStyleFactory>
#include <QTest>

#include <cstdlib>

namespace {

QPalette DarkPalette()
{
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2e), base(0x1e, 0x1e, 0x20), text(0xe8, 0xe8, 0xea);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x94));
    return p;
}

// A working week as people log it: four projects, a lunch break, a few meetings.
void AddLastWeek(ambrin::TimeLog& log)
{
    const ambrin::LocalDate monday = ambrin::RangeAround(ambrin::SummaryRange::LastWeek, ambrin::DateOf(ambrin::ClockTime::Now())).from;
    std::int64_t first = 0;
    ambrin::DayNumber(monday, first);
    const char* const projects[] = {"Website redesign", "Accounts", "Client support", "Planning"};
    for (int day = 0; day < 5; ++day) {
        const ambrin::LocalDate date = ambrin::DateOfDay(first + day);
        const auto at = [&](int hour, int minute) {
            ambrin::ClockTime t;
            t.FromFields(date.year, date.month, date.day, hour, minute, 0);
            return t;
        };
        const int shift = (day * 17) % 45;
        log.Append(projects[day % 4], "", at(8, 30 + shift / 3), at(10, shift));
        log.Append(projects[(day + 1) % 4], "", at(10, shift), at(12, 15));
        log.Append(projects[(day + 2) % 4], "", at(13, 0), at(15, 30 - shift / 2));
        log.Append(projects[(day * 3) % 4], "", at(15, 30 - shift / 2), at(17, 10 + shift / 2));
    }
}

void Save(QWidget& window, const QString& path)
{
    window.show();
    QTest::qWait(300);  // the Edit Log's first row is selected after its timers
    window.grab().save(path);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString home = QDir::tempPath() + QStringLiteral("/ambrin-screenshots");
    QDir(home).removeRecursively();
    QDir().mkpath(home);
    setenv("HOME", home.toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").toLocal8Bit().constData(), 1);
    QApplication application(argc, argv);
    if (argc < 3) return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString suffix = QString::fromLocal8Bit(argv[2]);
    if (argc > 3 && QByteArray(argv[3]) == "dark") {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
    }

    ambrin::App app;
    ambrin::TimeLog log = ambrin::test::GenerateLog(60, 11);
    app.Log().Assign(log);
    AddLastWeek(app.Log());
    app.Log().Append("Website redesign", "", ambrin::ClockTime::Now(), {});
    ambrin::MainWindow strip(app);
    Save(strip, folder + "/strip" + suffix + ".png");
    ambrin::OptionsDialog options(app.Log(), app.Projects(), app.Locations(), &strip);
    Save(options, folder + "/options" + suffix + ".png");
    ambrin::EditLogDialog editLog(app.Log(), app.Locations(), &strip);
    Save(editLog, folder + "/edit-log" + suffix + ".png");
    ambrin::SummaryDialog summary(app.Log(), &strip);
    auto* range = summary.findChild<QComboBox*>("rangeCombo");
    range->setCurrentIndex(1);  // last week: a whole week of records
    emit range->activated(1);
    Save(summary, folder + "/summary" + suffix + ".png");
    ambrin::TimeAwayDialog away([] { return std::vector<std::string>{}; }, [](ambrin::AwayAnswer, const std::string&) {}, &strip);
    const ambrin::CalendarFields today = ambrin::ClockTime::Now().Fields();
    ambrin::ClockTime from, to;
    from.FromFields(today.year, today.month, today.day, 12, 2, 0);
    to.FromFields(today.year, today.month, today.day, 12, 47, 0);
    away.Ask(from, to, "Website redesign");
    Save(away, folder + "/time-away" + suffix + ".png");
    QDir(home).removeRecursively();
    return 0;
}
