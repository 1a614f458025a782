#include "core/TimeLog.h"

#include "support/FakeClock.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace ambrin {
namespace {

using test::MakeTime;

std::string Projects(const TimeLog& log)
{
    std::string names;
    for (std::uint32_t i = 0; i < log.Count(); ++i) names += log.At(i).project + ";";
    return names;
}

TEST(TimeLogCurrent, OpenRecordIsTheLastWithNoEnd)
{
    const ClockTime now = MakeTime(2005, 3, 7, 9, 5, 3, 250);
    test::FakeClock clock(now);
    TimeLog log;
    EXPECT_EQ(log.Current(false), nullptr);

    TimeRecord* open = log.Current(true);
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(*open, (TimeRecord{"", "", now, ClockTime()}));
    EXPECT_EQ(log.Current(true), open) << "a second call returns the same record";
    EXPECT_EQ(log.Count(), 1u);

    open->end = MakeTime(2005, 3, 7, 10, 0);
    EXPECT_EQ(log.Current(false), nullptr);
    TimeRecord* next = log.Current(true);
    EXPECT_NE(next, open);
    EXPECT_EQ(log.Count(), 2u);
}

TEST(TimeLogCurrent, EarlierRecordInProgressIsNeverOpen)
{
    TimeLog log;
    log.Append("A", "", MakeTime(2005, 3, 7, 9, 0), ClockTime());
    log.Append("B", "", MakeTime(2005, 3, 7, 10, 0), MakeTime(2005, 3, 7, 11, 0));
    EXPECT_EQ(log.Current(false), nullptr);
    log.Current(true);
    EXPECT_EQ(log.Count(), 3u);
}

TEST(TimeLogSort, OrdersByStartThenEndAndKeepsReferences)
{
    //   A  09:00 ---- 10:00
    //   B  08:00 -- (running)
    //   C  08:00 ---------------- 12:00
    //   D  (no start)
    TimeLog log;
    log.Append("A", "", MakeTime(2005, 3, 7, 9, 0), MakeTime(2005, 3, 7, 10, 0));
    log.Append("C", "", MakeTime(2005, 3, 7, 8, 0), MakeTime(2005, 3, 7, 12, 0));
    log.Append("B", "", MakeTime(2005, 3, 7, 8, 0), ClockTime());
    log.Append("D", "", ClockTime(), MakeTime(2005, 3, 7, 7, 0));
    TimeRecord& a = log.At(0);
    log.SortByTime();
    EXPECT_EQ(Projects(log), "D;B;C;A;");
    EXPECT_EQ(&log.At(3), &a) << "records move as entries, never copied";
    EXPECT_EQ(log.Current(false), nullptr) << "a closed record sorted last closes the log";
}

TEST(TimeLogEdit, InsertRemoveAssign)
{
    TimeLog log;
    log.Append("A", "", {}, {});
    log.Append("B", "", {}, {});
    log.Append("C", "", {}, {});
    log.RemoveAt(0);
    EXPECT_EQ(Projects(log), "B;C;");
    log.InsertAt(log.Count(), "D", "", {}, {});
    log.InsertAt(0, "E", "", {}, {});
    log.InsertAt(1, "<idle>", "n", {}, {});
    EXPECT_EQ(Projects(log), "E;<idle>;B;C;D;");

    TimeLog copy;
    copy.Append("old", "", {}, {});
    copy.Assign(log);
    copy.At(0).project = "changed";
    EXPECT_EQ(log.At(0).project, "E") << "the copy is independent";
    EXPECT_EQ(Projects(copy), "changed;<idle>;B;C;D;");

    log.At(2).notes = "changed in the source";
    log.Current(true)->project = "through the open record";
    EXPECT_EQ(copy.At(2).notes, "") << "the source's later changes stay out of the copy";
    EXPECT_EQ(copy.At(4).project, "D");
    TimeRecord& own = copy.At(3);
    own.project = "written through a reference";
    EXPECT_EQ(log.At(3).project, "C");

    copy.Assign(TimeLog());
    EXPECT_EQ(copy.Count(), 0u);
    log.Clear();
    EXPECT_EQ(log.Count(), 0u);
}

// After an Assign the two logs share one list until either changes it; whichever side
// changes, the other keeps what it had.
TEST(TimeLogEdit, ChangesToASharedListStayOnTheirSide)
{
    const struct {
        const char* name;
        std::function<void(TimeLog&)> change;
    } changes[] = {
        {"append", [](TimeLog& log) { log.Append("New", "", {}, {}); }},
        {"append a copy", [](TimeLog& log) { log.AppendCopy(log.At(0)); }},
        {"insert", [](TimeLog& log) { log.InsertAt(1, "New", "", {}, {}); }},
        {"remove", [](TimeLog& log) { log.RemoveAt(0); }},
        {"clear", [](TimeLog& log) { log.Clear(); }},
        {"sort", [](TimeLog& log) { log.SortByTime(); }},
        {"open a record", [](TimeLog& log) { log.Current(true)->project = "Open"; }},
        {"write a record", [](TimeLog& log) { log.At(1).project = "Written"; }},
    };
    for (const auto& c : changes) {
        for (const bool changeTheCopy : {true, false}) {
            TimeLog source;
            source.Append("B", "", ClockTime(2 * kTicksPerDay), ClockTime(3 * kTicksPerDay));
            source.Append("A", "", ClockTime(1 * kTicksPerDay), ClockTime(2 * kTicksPerDay));
            TimeLog copy;
            copy.Assign(source);
            c.change(changeTheCopy ? copy : source);
            EXPECT_EQ(Projects(changeTheCopy ? source : copy), "B;A;")
                << c.name << (changeTheCopy ? " on the copy" : " on the source");
        }
    }
}

// The entries sit in blocks: every change near and across a block's edges, against a plain
// list making the same changes, and each copy taken along the way keeps what it had.
TEST(TimeLogBlocks, ChangesAcrossBlockEdgesMatchAPlainList)
{
    constexpr std::uint32_t K = TimeLog::kBlockSize;
    TimeLog log;
    std::vector<std::string> plain;
    int made = 0;
    for (std::uint32_t i = 0; i < 2 * K + 3; ++i) {
        plain.push_back("r" + std::to_string(made++));
        log.Append(plain.back(), "", {}, {});
    }
    std::vector<std::pair<std::unique_ptr<TimeLog>, std::vector<std::string>>> copies;
    std::mt19937 random(7);
    for (int step = 0; step < 600; ++step) {
        const std::uint32_t n = log.Count();
        const std::uint32_t edges[] = {0, K - 1, K, K + 1, 2 * K - 1, 2 * K, n - 1, n, static_cast<std::uint32_t>(random() % (n + 1))};
        const std::uint32_t at = std::min(edges[random() % std::size(edges)], n);
        switch (random() % 4) {
        case 0:
            plain.insert(plain.begin() + at, "r" + std::to_string(made++));
            log.InsertAt(at, plain[at], "", {}, {});
            break;
        case 1:
            if (at < n) {
                plain.erase(plain.begin() + at);
                log.RemoveAt(at);
            }
            break;
        case 2:
            if (at < n) log.At(at).project = plain[at] = "w" + std::to_string(made++);
            break;
        default:
            plain.push_back("r" + std::to_string(made++));
            log.Append(plain.back(), "", {}, {});
        }
        if (step % 50 == 0) {
            copies.emplace_back(std::make_unique<TimeLog>(), plain);
            copies.back().first->Assign(log);
        }
    }
    ASSERT_EQ(log.Count(), plain.size());
    for (std::uint32_t i = 0; i < log.Count(); ++i) ASSERT_EQ(log.At(i).project, plain[i]) << "record " << i;
    for (std::size_t c = 0; c < copies.size(); ++c) {
        const auto& [copy, expected] = copies[c];
        ASSERT_EQ(copy->Count(), expected.size()) << "copy " << c;
        for (std::uint32_t i = 0; i < copy->Count(); ++i) ASSERT_EQ(copy->At(i).project, expected[i]) << "copy " << c;
    }
}

// Joining logs closes up the entries across the joint, whatever either log's length and
// whether or not its blocks are shared with a copy; the copies keep what they had, and the
// joined log takes further changes at its end as any other.
TEST(TimeLogBlocks, AppendedLogsCloseUpAcrossTheJoint)
{
    constexpr std::uint32_t K = TimeLog::kBlockSize;
    const std::uint32_t lengths[] = {0, 1, K - 1, K, K + 1, 2 * K + 5};
    const auto fill = [](TimeLog& log, std::uint32_t n, const std::string& tag) {
        for (std::uint32_t i = 0; i < n; ++i) log.Append(tag + std::to_string(i), "", {}, {});
    };
    for (const std::uint32_t first : lengths) {
        for (const std::uint32_t second : lengths) {
            for (const bool shared : {false, true}) {
                const std::string name = std::to_string(first) + " + " + std::to_string(second) +
                                         (shared ? ", both shared" : "");
                TimeLog log;
                TimeLog other;
                fill(log, first, "a");
                fill(other, second, "b");
                TimeLog logCopy;
                TimeLog otherCopy;
                if (shared) {
                    logCopy.Assign(log);
                    otherCopy.Assign(other);
                }
                log.AppendLog(std::move(other));
                ASSERT_EQ(log.Count(), first + second) << name;
                for (std::uint32_t i = 0; i < log.Count(); ++i) {
                    const std::string expected = i < first ? "a" + std::to_string(i) : "b" + std::to_string(i - first);
                    ASSERT_EQ(log.At(i).project, expected) << name << ", record " << i;
                }
                log.Append("end", "", {}, {});
                ASSERT_EQ(log.At(first + second).project, "end") << name;
                log.RemoveAt(0);  // every block after the first passes an entry back
                ASSERT_EQ(log.Count(), first + second) << name;
                if (first + second > 0) {
                    ASSERT_EQ(log.At(first + second - 1).project, "end") << name;
                }
                if (shared) {
                    ASSERT_EQ(logCopy.Count(), first) << name;
                    ASSERT_EQ(otherCopy.Count(), second) << name;
                    for (std::uint32_t i = 0; i < second; ++i) ASSERT_EQ(otherCopy.At(i).project, "b" + std::to_string(i)) << name;
                }
            }
        }
    }
}

// Sorting skips the blocks known to be in order: every way a sorted log can leave its order
// must still be found, wherever it happens.
TEST(TimeLogBlocks, SortFindsEveryChangeOfOrder)
{
    constexpr std::uint32_t K = TimeLog::kBlockSize;
    const auto minutes = [](std::uint32_t m) { return ClockTime(kTicksPerDay + m * kTicksPerMinute); };
    const struct {
        const char* name;
        std::function<void(TimeLog&)> change;
    } changes[] = {
        {"a start moved back inside a block", [&](TimeLog& log) { log.At(K + 5).start = minutes(3); }},
        {"the first record of a block moved back", [&](TimeLog& log) { log.At(K).start = minutes(0); }},
        {"the last record of a block moved on", [&](TimeLog& log) { log.At(K - 1).start = minutes(5 * K); }},
        {"an earlier record appended", [&](TimeLog& log) { log.Append("late", "", minutes(1), {}); }},
        {"an earlier record inserted at a block's edge", [&](TimeLog& log) { log.InsertAt(2 * K, "x", "", minutes(2), {}); }},
        {"the open record's start set back", [&](TimeLog& log) { log.Current(true)->start = minutes(4); }},
    };
    for (const auto& c : changes) {
        for (const bool shared : {false, true}) {
            TimeLog log;
            for (std::uint32_t i = 0; i < 3 * K; ++i) log.Append("r", "", minutes(i + 10), minutes(i + 11));
            log.SortByTime();  // known to be in order from here
            TimeLog other;
            if (shared) other.Assign(log);
            c.change(log);
            log.SortByTime();
            for (std::uint32_t i = 1; i < log.Count(); ++i) {
                ASSERT_LE(log.At(i - 1).start.Ticks(), log.At(i).start.Ticks())
                    << c.name << (shared ? ", shared" : "") << ", record " << i;
            }
            if (shared) {
                other.SortByTime();
                EXPECT_EQ(other.At(0).start, minutes(10)) << c.name << ": the other log keeps its records";
            }
        }
    }
}

// Records are carved from blocks that the log making them fills; a block goes back once its
// last record has gone, whichever log and thread let go of it. Run under the address
// sanitizer, a block given back too soon reads freed memory here, and one never given back
// leaks.
TEST(TimeLogRecords, OutliveTheThreadAndTheLogThatMadeThem)
{
    const auto text = [](std::size_t i) { return "Project with a long name " + std::to_string(i); };
    constexpr std::size_t kCount = 2100;  // a few blocks' worth
    TimeLog made;
    std::thread([&] {
        for (std::size_t i = 0; i < kCount; ++i) made.Append(text(i), text(i + 1), ClockTime(i + 1), ClockTime(i + 2));
    }).join();

    // Every seventh record stays, held by another log; the log that made them goes.
    TimeLog kept;
    kept.Assign(made);
    made.Clear();
    for (std::size_t i = kCount; i-- > 0;) {
        if (i % 7 != 0) kept.RemoveAt(static_cast<std::uint32_t>(i));
    }
    for (std::uint32_t i = 0; i < 10; ++i) kept.Append("Made here", "", ClockTime(kCount + i), {});
    ASSERT_EQ(kept.Count(), (kCount + 6) / 7 + 10);
    for (std::uint32_t i = 0; i < (kCount + 6) / 7; ++i) {
        ASSERT_EQ(kept.At(i).project, text(7 * i));
        ASSERT_EQ(kept.At(i).notes, text(7 * i + 1));
    }
    // The last of them let go on a thread that made none of them.
    std::thread([log = std::move(kept)]() mutable { log.Clear(); }).join();
}

}  // namespace
}  // namespace ambrin
