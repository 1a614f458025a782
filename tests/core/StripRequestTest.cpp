// Commands from outside the strip: the lines on the socket, and what each does to the log.
#include "core/StripRequest.h"

#include "core/TimeLog.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace ambrin {
namespace {

using test::MakeTime;
using Kind = StripRequest::Kind;

TEST(StripRequests, ComeBackFromTheirLinesAndNothingElseIsOne)
{
    const StripRequest requests[] = {
        {Kind::Show, {}, "", false},
        {Kind::Status, {}, "", true},
        {Kind::Status, {}, "", false},
        {Kind::Start, MakeTime(2026, 12, 7, 9, 5), "Website\tredesign \\ 2", false},
        {Kind::Start, {}, "Accounts", false},
        {Kind::Stop, {}, "", false},
        {Kind::Notes, {}, "called\nsent \"it\"\t\\", false},
        {Kind::Notes, {}, "", false},
    };
    for (const StripRequest& r : requests) {
        const std::string line = RequestLine(r);
        const std::optional<StripRequest> back = ParseRequest(line);
        ASSERT_TRUE(back.has_value()) << line;
        EXPECT_EQ(std::tuple(back->kind, back->at, back->text, back->json), std::tuple(r.kind, r.at, r.text, r.json)) << line;
    }
    const std::string refused[] = {
        "",  "show",  "show\textra\n", "status\n", "status\txml\n", "start\t\tA\textra\n", "start\t\t  \n",
        "start\tsoon\tA\n", "start\t-5\tA\n", "start\t99999999999999999999\tA\n", "start\t\tA\\q\n", "start\t\tA\\\n",
        "notes\n", "notes\ta\nb\n", "stop\n", "STOP\t\n", "reboot\n", std::string("start\t\tA") + std::string(kRequestLimit, 'x') + "\n",
    };
    for (const std::string& line : refused) EXPECT_FALSE(ParseRequest(line).has_value()) << line;

    bool ok = false;
    std::string text;
    ASSERT_TRUE(ParseReply(ReplyLine(false, "no\tway\n"), ok, text));
    EXPECT_FALSE(ok);
    EXPECT_EQ(text, "no\tway\n");
    EXPECT_FALSE(ParseReply("fine\tthanks\n", ok, text));
}

TEST(StripRequests, DoWhatTheStripsControlsDo)
{
    const ClockTime now = MakeTime(2026, 12, 7, 10, 7);
    struct Case {
        const char* name;
        StripRequest request;
        bool round;
        std::string records;  // project start-end notes|...
        std::string refused;  // the start of the reason, when refused
    };
    const Case cases[] = {
        {"start now", {Kind::Start, {}, " Accounts ", false}, false, "Web 9:00-10:07 n|Accounts 10:07-", ""},
        {"start at a time, rounded", {Kind::Start, MakeTime(2026, 12, 7, 9, 52), "Accounts", false}, true,
         "Web 9:00-9:45 n|Accounts 9:45-", ""},
        {"stop", {Kind::Stop, {}, "", false}, false, "Web 9:00-10:07 n|<idle> 10:07-", ""},
        {"notes, line breaks as the file keeps them", {Kind::Notes, {}, "a\nb", false}, false, "Web 9:00- a\r\nb", ""},
        {"a start before the running record's", {Kind::Start, MakeTime(2026, 12, 7, 8, 0), "Accounts", false}, false,
         "Web 9:00- n", "the running record started at"},
    };
    for (const Case& c : cases) {
        TimeLog log;
        log.Append("Web", "n", MakeTime(2026, 12, 7, 9, 0), {});
        const std::string reason = ApplyRequest(log, c.request, now, c.round);
        EXPECT_EQ(reason.substr(0, c.refused.size()), c.refused) << c.name;
        EXPECT_EQ(reason.empty(), c.refused.empty()) << c.name << ": " << reason;
        std::string records;
        for (std::uint32_t i = 0; i < log.Count(); ++i) {
            const TimeRecord& r = log.View(i);
            const auto hm = [](ClockTime t) {
                return t.IsEmpty() ? std::string() : std::to_string(t.Fields().hour) + ":" + (t.Fields().minute < 10 ? "0" : "") +
                                                         std::to_string(t.Fields().minute);
            };
            records += (i ? "|" : "") + r.project + " " + hm(r.start) + "-" + hm(r.end) + (r.notes.empty() ? "" : " " + r.notes);
        }
        EXPECT_EQ(records, c.records) << c.name;
    }
}

}  // namespace
}  // namespace ambrin
