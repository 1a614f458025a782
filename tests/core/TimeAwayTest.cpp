#include "core/TimeAway.h"

#include "core/TimeLog.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace ambrin {
namespace {

ClockTime At(int hour, int minute)
{
    return test::MakeTime(2026, 12, 7, hour, minute);
}

// A time as H:MM, the empty time as nothing; every time here is on one day.
std::string Hm(ClockTime t)
{
    const std::string text = t.Format(ClockTextStyle::Numeric);
    return text.substr(text.find(' ') + 1);
}

// The log as "project start-end notes|...".
std::string Records(const TimeLog& log)
{
    std::string text;
    for (std::uint32_t i = 0; i < log.Count(); ++i) {
        const TimeRecord& r = log.View(i);
        text += (i ? "|" : "") + r.project + " " + Hm(r.start) + "-" + Hm(r.end) +
                (r.notes.empty() ? "" : " " + r.notes);
    }
    return text;
}

enum Event { Away, Back, Answer, SwitchToB };

TEST(AwayTracker, AsksOnlyAboutLongEnoughAwaysFromARunningProject)
{
    const struct {
        const char* name;
        const char* running;  // a record started at 9:00; "" for an empty log
        std::vector<std::pair<Event, ClockTime>> events;
        std::string asked;  // at the last return
    } cases[] = {
        {"an away shorter than the option", "A", {{Away, At(10, 0)}, {Back, At(10, 5)}}, ""},
        {"an away as long as the option", "A", {{Away, At(12, 2)}, {Back, At(12, 12)}},
         "A 12:02 to 12:12"},
        {"while <idle> runs", "<idle>", {{Away, At(10, 0)}, {Back, At(11, 0)}}, ""},
        {"with no record", "", {{Away, At(10, 0)}, {Back, At(11, 0)}}, ""},
        {"back without an away", "A", {{Back, At(11, 0)}}, ""},
        {"a lock while idle: the earliest start counts", "A",
         {{Away, At(10, 10)}, {Away, At(10, 0)}, {Back, At(10, 30)}}, "A 10:00 to 10:30"},
        {"a second away before the answer: one question", "A",
         {{Away, At(10, 0)}, {Back, At(10, 20)}, {Away, At(10, 30)}, {Back, At(10, 50)}},
         "A 10:00 to 10:50"},
        {"a second away after the answer: a question of its own", "A",
         {{Away, At(10, 0)}, {Back, At(10, 20)}, {Answer, {}}, {Away, At(10, 30)},
          {Back, At(10, 50)}},
         "A 10:30 to 10:50"},
        {"a switch between two aways: not merged", "A",
         {{Away, At(10, 0)}, {Back, At(10, 20)}, {SwitchToB, At(10, 25)}, {Away, At(10, 30)},
          {Back, At(10, 50)}},
         "B 10:30 to 10:50"},
        {"a record started while away counts from its start", "A",
         {{Away, At(8, 0)}, {Back, At(9, 30)}}, "A 9:00 to 9:30"},
    };
    for (const auto& c : cases) {
        TimeLog log;
        if (*c.running) log.Append(c.running, "", At(9, 0), {});
        AwayTracker tracker;
        std::optional<AwayQuestion> asked;
        for (const auto& [event, at] : c.events) {
            if (event == Away) tracker.AwaySince(at);
            if (event == Back) asked = tracker.Back(at, 600, log);  // ten minutes at least
            if (event == Answer) tracker.Answered();
            if (event == SwitchToB) {
                log.Current(false)->end = at;
                log.Append("B", "", at, {});
            }
        }
        EXPECT_EQ(asked ? asked->project + " " + Hm(asked->from) + " to " + Hm(asked->to) : "",
                  c.asked)
            << c.name;
        EXPECT_FALSE(tracker.IsAway()) << c.name;
    }
}

TEST(BookAway, EachAnswerWritesThroughTheSwitch)
{
    using A = AwayAnswer;
    const struct {
        const char* name;
        AwayAnswer answer;
        const char* assignTo;
        bool round;
        std::string records;
    } cases[] = {
        {"keep", A::Keep, "", false, "Web 9:00- notes"},
        {"discard", A::Discard, "", false,
         "Web 9:00-12:02 notes|<idle> 12:02-12:47|Web 12:47- notes"},
        {"discard, rounded", A::Discard, "", true,
         "Web 9:00-12:00 notes|<idle> 12:00-12:45|Web 12:45- notes"},
        {"discard and stop", A::DiscardAndStop, "", false, "Web 9:00-12:02 notes|<idle> 12:02-"},
        {"assign", A::AssignTo, " Lunch ", false,
         "Web 9:00-12:02 notes|Lunch 12:02-12:47|Web 12:47- notes"},
        {"assign to the running project", A::AssignTo, "WEB", false, "Web 9:00- notes"},
    };
    const AwayQuestion question{At(12, 2), At(12, 47), "Web", At(9, 0)};
    for (const auto& c : cases) {
        TimeLog log;
        log.Append("Web", "notes", At(9, 0), {});
        EXPECT_TRUE(BookAway(log, question, c.answer, c.assignTo, c.round)) << c.name;
        EXPECT_EQ(Records(log), c.records) << c.name;
    }

    // A question gone stale, or a blank name to assign to: nothing changes.
    TimeLog log;
    log.Append("Web", "", At(9, 0), At(12, 50));
    log.Append("Mail", "", At(12, 50), {});
    EXPECT_FALSE(BookAway(log, question, A::Discard, "", false));
    const AwayQuestion aboutMail{At(12, 52), At(12, 57), "Mail", At(12, 50)};
    EXPECT_FALSE(BookAway(log, aboutMail, A::AssignTo, "  ", false));
    EXPECT_EQ(Records(log), "Web 9:00-12:50|Mail 12:50-");
}

}  // namespace
}  // namespace ambrin
