// The question about time away, from the sources' word to the log's bytes: each answer, the
// merging of two aways, and what is never asked.
#include "app/AwaySources.h"
#include "app/AwayWatch.h"
#include "dialogs/TimeAwayDialog.h"
#include "storage/SettingsStore.h"
#include "support/DialogDriver.h"
#include "support/FakeClock.h"
#include "support/StripDriver.h"

#include <QComboBox>
#include <QInputDialog>
#include <QPushButton>

namespace ambrin {
namespace {

using test::MakeTime;

// Says what a test tells it to, as a desktop's source would.
class StandInSource : public AwaySource {
public:
    using AwaySource::AwaySource;
    QString Name() const override { return QStringLiteral("stand-in"); }
    void Away(ClockTime since) { emit AwaySince(since.Ticks()); }
    void Return(ClockTime at) { emit Back(at.Ticks()); }
};

ClockTime At(int hour, int minute)
{
    return MakeTime(2005, 3, 7, hour, minute);
}

struct Fixture {
    Fixture()
    {
        SettingsStore::Write(settings::kPopNote, false);
        strip = std::make_unique<test::Strip>();
        source = new StandInSource(nullptr);
        strip->window->Away()->AddSource(source);
        clock.Set(At(9, 0));
        strip->window->Tick();
        strip->Type("Website redesign");
    }
    // Away from..to, back at to.
    TimeAwayDialog* AwayAndBack(ClockTime from, ClockTime to)
    {
        source->Away(from);
        clock.Set(to);
        source->Return(to);
        return strip->window->Away()->Question();
    }
    void Click(const char* button) { strip->window->Away()->Question()->findChild<QPushButton*>(button)->click(); }

    test::TempHome home;
    test::FakeClock clock{At(9, 0)};
    std::unique_ptr<test::Strip> strip;
    StandInSource* source = nullptr;
};

const std::string kMorning = "\"3-7-2005 9:00\",\"3-7-2005 12:02\",\"Website redesign\",\"\"\r\n";

TEST(TimeAway, EachAnswerBooksTheTimeAsTheStripWould)
{
    const std::tuple<const char*, std::function<void(Fixture&)>, std::string> answers[] = {
        {"keep, by Escape", [](Fixture& f) { f.strip->window->Away()->Question()->reject(); },
         "\"3-7-2005 9:00\",\"\",\"Website redesign\",\"\"\r\n"},
        {"discard", [](Fixture& f) { f.Click("discardButton"); },
         kMorning + "\"3-7-2005 12:47\",\"\",\"Website redesign\",\"\"\r\n"},
        {"discard and stop", [](Fixture& f) { f.Click("discardStopButton"); }, kMorning},
        {"assign to a project typed in",
         [](Fixture& f) {
             test::OnNextDialog([](QDialog* chooser) {
                 static_cast<QInputDialog*>(chooser)->setTextValue("Lunch");
                 chooser->accept();
             }, "assignChooser");
             f.Click("assignButton");
         },
         kMorning + "\"3-7-2005 12:02\",\"3-7-2005 12:47\",\"Lunch\",\"\"\r\n\"3-7-2005 12:47\",\"\",\"Website redesign\",\"\"\r\n"},
    };
    for (const auto& [name, answer, log] : answers) {
        Fixture f;
        TimeAwayDialog* question = f.AwayAndBack(At(12, 2), At(12, 47));
        ASSERT_NE(question, nullptr) << name;
        EXPECT_TRUE(question->isVisible() && !question->isModal()) << name << ": asked without blocking the strip";
        EXPECT_EQ(question->Question(), "You were away from 12:02 to 12:47 (45 minutes) while \"Website redesign\" was running.");
        answer(f);
        EXPECT_FALSE(question->isVisible()) << name;
        EXPECT_EQ(f.strip->Log(), log) << name;
    }
}

TEST(TimeAway, TwoAwaysBeforeTheAnswerAreOneQuestion)
{
    Fixture f;
    f.AwayAndBack(At(12, 2), At(12, 47));
    TimeAwayDialog* question = f.AwayAndBack(At(13, 0), At(14, 15));
    EXPECT_EQ(question->Question(), "You were away from 12:02 to 14:15 (2 hours 13 minutes) while \"Website redesign\" was running.");
    f.Click("discardButton");
    EXPECT_EQ(f.strip->Log(), kMorning + "\"3-7-2005 14:15\",\"\",\"Website redesign\",\"\"\r\n");
}

TEST(TimeAway, NothingIsAskedWhenTooShortIdleOrOff)
{
    const std::tuple<const char*, std::function<void(Fixture&)>, ClockTime> cases[] = {
        {"shorter than the option", [](Fixture&) {}, At(12, 11)},
        {"while <idle> runs", [](Fixture& f) { f.strip->Type("<idle>"); }, At(13, 0)},
        {"with the option off", [](Fixture&) { SettingsStore::WriteValue(settings::kAwayMinutes, 0); }, At(13, 0)},
    };
    for (const auto& [name, before, back] : cases) {
        Fixture f;
        before(f);
        const std::string log = f.strip->Log();
        EXPECT_EQ(f.AwayAndBack(At(12, 2), back), nullptr) << name;
        EXPECT_EQ(f.strip->Log(), log) << name;
    }
}

}  // namespace
}  // namespace ambrin
