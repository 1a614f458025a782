#pragma once

#include "app/App.h"
#include "app/MainWindow.h"
#include "storage/SettingsStore.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <string>

namespace ambrin::test {

// The strip as a person meets it, over the files of the test's home.
class Strip {
public:
    // loadEarly: the files are read on a thread while the strip is made, as at start-up.
    explicit Strip(bool loadEarly = false)
    {
        if (loadEarly) app.BeginLoading();
        window = std::make_unique<MainWindow>(app);
    }
    QComboBox* Combo() { return window->findChild<QComboBox*>("projectCombo"); }
    void Type(const QString& name)
    {
        Combo()->lineEdit()->selectAll();
        QTest::keyClicks(Combo()->lineEdit(), name);
        QTest::keyClick(Combo()->lineEdit(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }
    std::string Log() { return FileBytes(app.Locations().CurrentLogPath()); }
    std::string List() { return FileBytes(app.Locations().ProjectListPath()); }
    void Restart()
    {
        window.reset();
        app.Log().Clear();
        app.Projects() = ProjectList();
        window = std::make_unique<MainWindow>(app);
    }

    App app;
    std::unique_ptr<MainWindow> window;
};

// A home of the test's own, the clock at 9:05 on 7 March 2005, and no notes editor at a switch.
class StripTest : public ::testing::Test {
protected:
    void SetUp() override { SettingsStore::Write(settings::kPopNote, false); }
    // Time passing on the strip: the clock moves on, then the strip's second ticks.
    void Pass(Strip& strip, std::int64_t seconds)
    {
        clock_.AdvanceSeconds(seconds);
        strip.window->Tick();
    }
    TempHome home_;
    FakeClock clock_{MakeTime(2005, 3, 7, 9, 5, 0)};
};

}  // namespace ambrin::test
