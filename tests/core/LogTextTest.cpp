#include "core/LogText.h"
#include "storage/CsvLog.h"
#include "storage/ProjectList.h"

#include "support/FakeClock.h"
#include "support/LogGenerator.h"
#include "support/RowName.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace ambrin {
namespace {

using test::MakeTime;

// The records behind tests/data/log-*.csv: every escape, both layouts, and the records
// the writer leaves out.
TimeLog GoldenLog()
{
    TimeLog log;
    log.Append("Website redesign", "Called client\nSent invoice", MakeTime(2005, 3, 7, 9, 5),
               MakeTime(2005, 3, 7, 10, 47));
    log.Append("Accounts, \"Q1\"", "C:\\path\r\nline2", MakeTime(2005, 3, 7, 10, 47),
               MakeTime(2005, 3, 7, 10, 47, 30));
    log.Append("<idle>", "never written", MakeTime(2005, 3, 7, 11, 0), MakeTime(2005, 3, 7, 12, 0));
    log.Append("", "blank", MakeTime(2005, 3, 7, 12, 0), MakeTime(2005, 3, 7, 13, 0));
    log.Append("Night shift", "", MakeTime(2005, 12, 31, 23, 30), MakeTime(2006, 1, 1, 1, 15));
    log.Append("Backdated", "", MakeTime(2006, 1, 2, 9, 0), MakeTime(2006, 1, 2, 8, 30));
    log.Append("Loaded", "", ClockTime(), MakeTime(2006, 1, 2, 10, 0));
    log.Append("Marathon", "a,b", MakeTime(2006, 1, 3, 8, 0), MakeTime(2006, 1, 4, 10, 3));
    log.Append("Caf\xE9", "tab\there", MakeTime(2006, 1, 5, 9, 0), ClockTime());
    return log;
}

TEST(LogTextGolden, WritesBothLayoutsByteForByteAndReadsThemBack)
{
    const TimeLog log = GoldenLog();
    for (const bool totals : {true, false}) {
        const std::string path =
            std::string(AMBRIN_TEST_DATA) + (totals ? "/log-with-totals.csv" : "/log-plain.csv");
        std::ostringstream out;
        ASSERT_TRUE(log.WriteCsv(out, totals));
        EXPECT_EQ(out.str(), test::FileBytes(path)) << path;

        TimeLog back;
        ASSERT_TRUE(ReadCsvFile(back, path));
        ASSERT_EQ(back.Count(), 7u);
        EXPECT_EQ(back.View(1), (TimeRecord{"Accounts, 'Q1'", "C:/path\r\nline2",
                                            MakeTime(2005, 3, 7, 10, 47),
                                            MakeTime(2005, 3, 7, 10, 47)}))
            << "quotes come back as apostrophes, backslashes as slashes, seconds are dropped";
        for (const auto& [read, written] :
             {std::pair{0, 0}, {2, 4}, {3, 5}, {4, 6}, {5, 7}, {6, 8}}) {
            EXPECT_EQ(back.View(read), log.View(written)) << read;
        }
    }
}

struct ReadCase {
    std::string name;
    std::string file;
    std::vector<TimeRecord> expected;
    // Rows print as their names (gtest would dump their bytes, padding included).
    friend void PrintTo(const ReadCase& row, std::ostream* os) { *os << row.name; }
};

const ClockTime t905 = MakeTime(2005, 3, 7, 9, 5);
const ClockTime t930 = MakeTime(2005, 3, 7, 9, 30);

std::vector<ReadCase> ReadCases()
{
    return {
        {"empty file", "", {}},
        {"blank lines and spaces add no row", "\r\n   \r\n\n", {}},
        {"four fields", "\"3-7-2005 9:05\",\"3-7-2005 9:30\",\"P\",\"N\"\r\n", {{"P", "N", t905, t930}}},
        {"five fields", "\"3-7-2005 9:05\",\"3-7-2005 9:30\",\"0:25\",\"P\",\"N\"\r\n", {{"P", "N", t905, t930}}},
        {"six fields", "\"3-7-2005 9:05\",\"\",\"0\",\"P\",\"N\",\"extra\"", {{"P", "N", t905, {}}}},
        {"one field", "\"3-7-2005 9:05\"", {{"", "", t905, {}}}},
        {"unquoted with spaces", "3-7-2005 9:05, 3-7-2005 9:30, Accounts, Call back", {{"Accounts", "Call back", t905, t930}}},
        {"LF line ends and trailing spaces", "\"3-7-2005 9:05\",\"\",\"P\",\"\"   \n\"\",\"\",\"Q\",\"\"",
         {{"P", "", t905, {}}, {"Q", "", {}, {}}}},
        {"header line is a record", "Start,End,Project,Notes\r\n", {{"Project", "Notes", {}, {}}}},
        {"doubled quotes are dropped", "\"\",\"\",\"a \"\"b\"\" c\",\"\"", {{"a b c", "", {}, {}}}},
        {"spaces after a closing quote are kept", "\"\",\"\",\"P\"  x,\"N\"", {{"P  x", "N", {}, {}}}},
        {"stray CR inside a line is dropped", "\"\",\"\",\"P\r\r\",\"N\"\r\n", {{"P", "N", {}, {}}}},
        {"CR only line ends join into one line", "\"3-7-2005 9:05\",\"\",\"A\",\"\"\r\"3-7-2005 9:06\",\"\",\"B\",\"\"\r",
         {{"3-7-2005 9:06", "", t905, {}}}},
        {"escapes decoded", "\"\",\"\",\"a\\\\b\\q\",\"x\\r\\ny\\\"", {{"a\\bq", "x\r\ny\\", {}, {}}}},
        {"escapes before bytes after the closing quote", "\"\",\"\",\"a\\nb\"x,\"N\"", {{"a\nbx", "N", {}, {}}}},
        {"escapes in unquoted fields", "\"\",\"\",a\\nb,\"N\\\\\"", {{"a\nb", "N\\", {}, {}}}},
        {"trailing comma keeps a spreadsheet's layout", "3-7-2005 9:05,3-7-2005 9:30,0:25,Accounts,\r\n",
         {{"Accounts", "", t905, t930}}},
        {"NUL bytes are ordinary", std::string("\"\",\"\",\"a\0b\",\"\"", 14), {{std::string("a\0b", 3), "", {}, {}}}},
        {"both ends of the calendar", "\"1-1-1601 0:01\",\"12-31-30827 23:59\",\"P\",\"\"",
         {{"P", "", MakeTime(1601, 1, 1, 0, 1), MakeTime(30827, 12, 31, 23, 59)}}},
        {"midnight of the first day is the empty time", "\"1-1-1601 0:00\",\"1-1-1601 0:05\",\"P\",\"\"",
         {{"P", "", {}, MakeTime(1601, 1, 1, 0, 5)}}},
        {"a spreadsheet's byte-order mark", "\xEF\xBB\xBF\"3-7-2005 9:05\",\"\",\"P\",\"\"", {{"P", "", t905, {}}}},
        {"what spreadsheets write", "2005-03-07 09:05,2005-03-07T09:30:00,Accounts,\r\n3-7-2005 1:15 PM,,Lunch,",
         {{"Accounts", "", t905, t930}, {"Lunch", "", MakeTime(2005, 3, 7, 13, 15), {}}}},
        {"a first time text of 25 bytes", "\"3-7-2005 9:05            \",\"\",\"P\",\"\"", {{"P", "", t905, {}}}},
        {"times on one date, in every form", "\"3-7-2005 9:05\",\"3-7-2005 09:30\",\"A\",\"\"\r\n"
                                             "\"3-7-2005 9:30\",\"3/7/2005 9:30:59\",\"B\",\"\"\r\n"
                                             "\"3-7-2005 24:00\",\"3-7-2005 9:5\",\"C\",\"\"\r\n",
         {{"A", "", t905, t930}, {"B", "", t930, MakeTime(2005, 3, 7, 9, 30, 59)}, {"C", "", {}, t905}}},
        {"a day that does not exist between valid ones", "\"2-28-2005 9:05\",\"2-29-2005 9:05\",\"A\",\"\"\r\n"
                                                          "\"2-29-2005 9:30\",\"3-1-2005 9:30\",\"B\",\"\"\r\n",
         {{"A", "", MakeTime(2005, 2, 28, 9, 5), {}}, {"B", "", {}, MakeTime(2005, 3, 1, 9, 30)}}},
    };
}

class LogTextRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LogTextRead, GivesTheTablesRecords)
{
    const ReadCase& c = GetParam();
    TimeLog log;
    log.Append("stale", "", {}, {});
    std::istringstream in(c.file);
    ASSERT_TRUE(log.ReadCsv(in));
    EXPECT_EQ(test::RecordsOf(log), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Files, LogTextRead, ::testing::ValuesIn(ReadCases()),
                         test::ByRowName());

// The text is written a piece at a time: records across pieces, notes larger than a piece and
// texts made of bytes that each double all read back as they were written.
TEST(LogTextWrite, PiecesReadBackAsTheRecordsTheyWere)
{
    const struct {
        std::size_t records;
        bool totals;
        std::string longNotes;  // given to a record in the middle
    } saves[] = {{0, false, ""},
                 {500, true, ""},
                 {3, false, std::string(20'000, '\\')},
                 {20'000, true, ""},
                 {3'000, false, std::string(300'000, '\n')},
                 {3'000, true, std::string(300'000, '"')}};
    for (const auto& save : saves) {
        TimeLog log = test::GenerateLog(save.records);
        if (!save.longNotes.empty()) log.InsertAt(log.Count() / 2, "P", save.longNotes, {}, {});
        const std::string name =
            std::to_string(save.records) + " records" + (save.totals ? " with totals" : "");
        std::ostringstream out;
        ASSERT_TRUE(log.WriteCsv(out, save.totals)) << name;
        TimeLog back;
        std::istringstream in(out.str());
        ASSERT_TRUE(back.ReadCsv(in));
        ASSERT_EQ(back.Count(), log.Count()) << name;
        std::ostringstream again;
        ASSERT_TRUE(back.WriteCsv(again, save.totals));
        EXPECT_TRUE(again.str() == out.str()) << name << ": what was read writes the same bytes";
    }
}

// The golden log leaves out <idle> and blank records; only that exact name goes.
TEST(LogTextWrite, LeavesOutOnlyTheExactNameIdle)
{
    TimeLog log;
    log.Append("<IDLE>", "", MakeTime(2005, 3, 7, 9, 0), {});
    std::ostringstream out;
    ASSERT_TRUE(log.WriteCsv(out, false));
    EXPECT_EQ(out.str(), "\"3-7-2005 9:00\",\"\",\"<IDLE>\",\"\"\r\n");
}

// A stream buffer that fails after handing out some bytes, as a lost drive would.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(std::string head) : head_(std::move(head))
    {
        setg(head_.data(), head_.data(), head_.data() + head_.size());
    }

protected:
    int_type underflow() override { throw std::runtime_error("read error"); }
    int_type overflow(int_type) override { throw std::runtime_error("write error"); }

private:
    std::string head_;
};

TEST(LogTextFailures, AReadErrorLeavesTheLogAsItWasAndAWriteErrorIsReported)
{
    TimeLog log;
    log.Append("Kept", "", MakeTime(2005, 3, 7, 9, 0), {});
    FailingBuffer buffer("\"3-7-2005 9:05\",\"\",\"Lost\",\"\"\r\n");
    std::istream in(&buffer);
    EXPECT_FALSE(log.ReadCsv(in));
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.View(0).project, "Kept");
    std::istream again(&buffer);
    CsvTable table;
    EXPECT_FALSE(table.Read(again));

    std::ostream out(&buffer);
    EXPECT_FALSE(GoldenLog().WriteCsv(out, true));
    std::ofstream closed;  // never opened
    EXPECT_FALSE(GoldenLog().WriteCsv(closed, false));
}

TEST(CsvRows, TableRoundTripAndFieldCodec)
{
    CsvTable table;
    CsvRow row;
    row.AddField("plain");
    row.AddField(std::uint64_t{0});
    row.AddField("");
    row.AddField("q\"b\\c,\r\n");
    table.AddRow(row);
    std::ostringstream out;
    ASSERT_TRUE(table.Write(out));
    EXPECT_EQ(out.str(), "\"plain\",\"0\",\"\",\"q'b/c,\\r\\n\"\r\n");

    std::istringstream in(out.str());
    CsvTable back;
    ASSERT_TRUE(back.Read(in));
    ASSERT_EQ(back.Count(), 1u);
    EXPECT_EQ(back.Row(0).Fields(), (std::vector<std::string>{"plain", "0", "", "q'b/c,\r\n"}));
    EXPECT_EQ(DecodeField("a\\\\b\\nc\\"), "a\\b\nc\\");
}

// The encoder takes clean runs eight bytes at a time: a byte to encode anywhere in a text of
// any length, alone or with a second one, comes out as the one-byte-at-a-time rule says.
TEST(CsvRows, EncodesWhereverTheBytesFall)
{
    const auto byByte = [](const std::string& text) {
        std::string out = "\"";
        for (const char c : text) {
            const std::string one = EncodeField(std::string(1, c));  // checked by the table above
            out += one.substr(1, one.size() - 2);
        }
        return out + "\"";
    };
    for (std::size_t length = 0; length <= 24; ++length) {
        const std::string plain(length, 'a');
        ASSERT_EQ(EncodeField(plain), byByte(plain));
        for (std::size_t at = 0; at < length; ++at) {
            for (const char special : {'\n', '\r', '"', '\\'}) {
                std::string text = plain;
                text[at] = special;
                ASSERT_EQ(EncodeField(text), byByte(text)) << length << " " << at;
                text[length - 1 - at] = '\\';
                ASSERT_EQ(EncodeField(text), byByte(text)) << length << " " << at << " and \\";
            }
        }
    }
}

// Input no one should give the readers, given anyway: nothing crashes, nothing is lost.
TEST(BadInput, ReadersTakeAnyBytes)
{
    std::mt19937 random(1);
    std::string randomBytes(100'000, '\0');
    for (char& c : randomBytes) c = static_cast<char>(random());
    const std::string inputs[] = {
        randomBytes,
        std::string(1000, '\0'),
        "\xff\xfe\xc3\x28\xa0\xa1\xe2\x28\xa1,\"\xf0\x28\x8c\xbc\"\r\n",  // invalid UTF-8
        std::string(50 * 1024 * 1024, 'x'),  // one 50 MB line
        "\"99999999999999999999-7-2005 9:05\",\"-1--1--1 -1:-1\",\"\\\\\\\"\"\",\r\n",
    };
    for (const std::string& input : inputs) {
        std::istringstream log(input);
        TimeLog records;
        EXPECT_TRUE(records.ReadCsv(log));
        std::ostringstream out;
        EXPECT_TRUE(records.WriteCsv(out, true));
        std::istringstream list(input);
        ProjectList projects;
        EXPECT_TRUE(projects.ReadList(list));
    }
}

}  // namespace
}  // namespace ambrin
