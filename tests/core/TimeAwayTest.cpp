#include "core/TimeAway.h"

#include "core/ProjectName.h"
#include "core/TimeLog.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;

ClockTime At(int hour, int minute)
{
    return MakeTime(2026, 12, 7, hour, minute);
}

// The log as "project start-end notes|...", times as H:MM.
std::string Records(TimeLog& log)
{
    const auto hm = [](ClockTime t) {
        if (t.IsEmpty()) return std::string();
        const CalendarFields f = t.Fields();
        return std::to_string(f.hour) + ":" + (f.minute < 10 ? "0" : "") + std::to_string(f.minute);
    };
    std::string text;
    for (std::uint32_t i = 0; i < log.Count(); ++i) {
        const TimeRecord& r = log.View(i);
        text += (i ? "|" : "") + r.project + " " + hm(r.start) + "-" + hm(r.end) + (r.notes.empty() ? "" : " " + r.notes);
    }
    return text;
}

std::string Asked(const std::optional<AwayQuestion>& q)
{
    if (!q) return "nothing";
    const auto hm = [](ClockTime t) { return t.Format(ClockTextStyle::Numeric, false); };
    return q->project + " " + hm(q->from) + " to " + hm(q->to);
}

struct TrackerCase {
    const char* name;
    const char* running;  // a record started at 9:00; "" for an empty log
    std::function<std::optional<AwayQuestion>(AwayTracker&, TimeLog&)> events;
    std::string asked;
};

TEST(AwayTracker, AsksOnlyAboutLongEnoughAwaysFromARunningProject)
{
    constexpr std::int64_t kTen = 600;
    const TrackerCase cases[] = {
        {"an away shorter than the option", "A",
         [](AwayTracker& t, TimeLog& log) { t.AwaySince(At(10, 0)); return t.Back(At(10, 5), kTen, log); }, "nothing"},
        {"an away as long as the option", "A",
         [](AwayTracker& t, TimeLog& log) { t.AwaySince(At(12, 2)); return t.Back(At(12, 12), kTen, log); },
         "A 12-7-2026 12:02 to 12-7-2026 12:12"},
        {"while <idle> runs", "<idle>",
         [](AwayTracker& t, TimeLog& log) { t.AwaySince(At(10, 0)); return t.Back(At(11, 0), kTen, log); }, "nothing"},
        {"with no record", "",
         [](AwayTracker& t, TimeLog& log) { t.AwaySince(At(10, 0)); return t.Back(At(11, 0), kTen, log); }, "nothing"},
        {"back without an away", "A", [](AwayTracker& t, TimeLog& log) { return t.Back(At(11, 0), kTen, log); }, "nothing"},
        {"a lock while idle: the earliest start counts", "A",
         [](AwayTracker& t, TimeLog& log) {
             t.AwaySince(At(10, 10));
             t.AwaySince(At(10, 0));
             return t.Back(At(10, 30), kTen, log);
         },
         "A 12-7-2026 10:00 to 12-7-2026 10:30"},
        {"a second away before the answer: one question", "A",
         [](AwayTracker& t, TimeLog& log) {
             t.AwaySince(At(10, 0));
             t.Back(At(10, 20), kTen, log);
             t.AwaySince(At(10, 30));
             return t.Back(At(10, 50), kTen, log);
         },
         "A 12-7-2026 10:00 to 12-7-2026 10:50"},
        {"a second away after the answer: a question of its own", "A",
         [](AwayTracker& t, TimeLog& log) {
             t.AwaySince(At(10, 0));
             t.Back(At(10, 20), kTen, log);
             t.Answered();
             t.AwaySince(At(10, 30));
             return t.Back(At(10, 50), kTen, log);
         },
         "A 12-7-2026 10:30 to 12-7-2026 10:50"},
        {"a switch between two aways: not merged", "A",
         [](AwayTracker& t, TimeLog& log) {
             t.AwaySince(At(10, 0));
             t.Back(At(10, 20), kTen, log);
             log.Current(false)->end = At(10, 25);
             log.Append("B", "", At(10, 25), {});
             t.AwaySince(At(10, 30));
             return t.Back(At(10, 50), kTen, log);
         },
         "B 12-7-2026 10:30 to 12-7-2026 10:50"},
        {"a record started while away counts from its start", "A",
         [](AwayTracker& t, TimeLog& log) { t.AwaySince(At(8, 0)); return t.Back(At(9, 30), kTen, log); },
         "A 12-7-2026 9:00 to 12-7-2026 9:30"},
    };
    for (const TrackerCase& c : cases) {
        TimeLog log;
        if (*c.running) log.Append(c.running, "", At(9, 0), {});
        AwayTracker tracker;
        EXPECT_EQ(Asked(c.events(tracker, log)), c.asked) << c.name;
        EXPECT_FALSE(tracker.IsAway()) << c.name;
    }
}

struct BookingCase {
    const char* name;
    AwayAnswer answer;
    const char* assignTo;
    bool round;
    std::string records;
};

TEST(BookAway, EachAnswerWritesThroughTheSwitch)
{
    using A = AwayAnswer;
    const BookingCase cases[] = {
        {"keep", A::Keep, "", false, "Web 9:00- notes"},
        {"discard", A::Discard, "", false, "Web 9:00-12:02 notes|<idle> 12:02-12:47|Web 12:47- notes"},
        {"discard, rounded", A::Discard, "", true, "Web 9:00-12:00 notes|<idle> 12:00-12:45|Web 12:45- notes"},
        {"discard and stop", A::DiscardAndStop, "", false, "Web 9:00-12:02 notes|<idle> 12:02-"},
        {"assign", A::AssignTo, " Lunch ", false, "Web 9:00-12:02 notes|Lunch 12:02-12:47|Web 12:47- notes"},
        {"assign to the running project", A::AssignTo, "WEB", false, "Web 9:00- notes"},
    };
    for (const BookingCase& c : cases) {
        TimeLog log;
        log.Append("Web", "notes", At(9, 0), {});
        const AwayQuestion question{At(12, 2), At(12, 47), "Web", At(9, 0)};
        EXPECT_TRUE(BookAway(log, question, c.answer, c.assignTo, c.round)) << c.name;
        EXPECT_EQ(Records(log), c.records) << c.name;
    }

    // A question gone stale, or a blank name to assign to: nothing changes.
    TimeLog log;
    log.Append("Web", "", At(9, 0), At(12, 50));
    log.Append("Mail", "", At(12, 50), {});
    const std::string before = Records(log);
    EXPECT_FALSE(BookAway(log, {At(12, 2), At(12, 47), "Web", At(9, 0)}, A::Discard, "", false));
    EXPECT_FALSE(BookAway(log, {At(12, 52), At(12, 57), "Mail", At(12, 50)}, A::AssignTo, "  ", false));
    EXPECT_EQ(Records(log), before);
}

}  // namespace
}  // namespace ambrin
