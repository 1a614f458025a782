#include "storage/CsvLog.h"

#include "support/FakeClock.h"
#include "support/LogGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace ambrin {
namespace {

using test::MakeTime;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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

TEST(CsvLogGolden, WritesBothLayoutsByteForByteAndReadsThemBack)
{
    const TimeLog log = GoldenLog();
    for (const bool totals : {true, false}) {
        const std::string path =
            std::string(AMBRIN_TEST_DATA) + (totals ? "/log-with-totals.csv" : "/log-plain.csv");
        std::ostringstream out;
        ASSERT_TRUE(log.WriteCsv(out, totals));
        EXPECT_EQ(out.str(), ReadFile(path)) << path;

        std::ifstream in(path, std::ios::binary);
        TimeLog back;
        ASSERT_TRUE(back.ReadCsv(in));
        ASSERT_EQ(back.Count(), 7u);
        EXPECT_EQ(back.At(0), log.At(0));
        EXPECT_EQ(back.At(1), (TimeRecord{"Accounts, 'Q1'", "C:/path\r\nline2",
                                          MakeTime(2005, 3, 7, 10, 47), MakeTime(2005, 3, 7, 10, 47)}))
            << "quotes come back as apostrophes, backslashes as slashes, seconds are dropped";
        EXPECT_EQ(back.At(2), log.At(4));
        EXPECT_EQ(back.At(3), log.At(5));
        EXPECT_EQ(back.At(4), log.At(6));
        EXPECT_EQ(back.At(5), log.At(7));
        EXPECT_EQ(back.At(6), log.At(8));
    }
}

struct ReadCase {
    const char* name;
    std::string file;
    std::vector<TimeRecord> expected;
};

TEST(CsvLogRead, Table)
{
    const ClockTime t905 = MakeTime(2005, 3, 7, 9, 5);
    const ClockTime t930 = MakeTime(2005, 3, 7, 9, 30);
    const ReadCase cases[] = {
        {"empty file", "", {}},
        {"blank lines and spaces add no row", "\r\n   \r\n\n", {}},
        {"four fields", "\"3-7-2005 9:05\",\"3-7-2005 9:30\",\"P\",\"N\"\r\n", {{"P", "N", t905, t930}}},
        {"five fields", "\"3-7-2005 9:05\",\"3-7-2005 9:30\",\"0:25\",\"P\",\"N\"\r\n",
         {{"P", "N", t905, t930}}},
        {"six fields", "\"3-7-2005 9:05\",\"\",\"0\",\"P\",\"N\",\"extra\"", {{"P", "N", t905, {}}}},
        {"one field", "\"3-7-2005 9:05\"", {{"", "", t905, {}}}},
        {"unquoted with spaces", "3-7-2005 9:05, 3-7-2005 9:30, Accounts, Call back",
         {{"Accounts", "Call back", t905, t930}}},
        {"LF line ends and trailing spaces", "\"3-7-2005 9:05\",\"\",\"P\",\"\"   \n\"\",\"\",\"Q\",\"\"",
         {{"P", "", t905, {}}, {"Q", "", {}, {}}}},
        {"header line is a record", "Start,End,Project,Notes\r\n", {{"Project", "Notes", {}, {}}}},
        {"doubled quotes are dropped", "\"\",\"\",\"a \"\"b\"\" c\",\"\"", {{"a b c", "", {}, {}}}},
        {"spaces after a closing quote are kept", "\"\",\"\",\"P\"  x,\"N\"", {{"P  x", "N", {}, {}}}},
        {"stray CR inside a line is dropped", "\"\",\"\",\"P\r\r\",\"N\"\r\n", {{"P", "N", {}, {}}}},
        {"escapes decoded", "\"\",\"\",\"a\\\\b\\q\",\"x\\r\\ny\\\"", {{"a\\bq", "x\r\ny\\", {}, {}}}},
        {"escapes before bytes after the closing quote", "\"\",\"\",\"a\\nb\"x,\"N\"", {{"a\nbx", "N", {}, {}}}},
        {"escapes in unquoted fields", "\"\",\"\",a\\nb,\"N\\\\\"", {{"a\nb", "N\\", {}, {}}}},
        {"trailing comma keeps a spreadsheet's layout",
         "3-7-2005 9:05,3-7-2005 9:30,0:25,Accounts,\r\n", {{"Accounts", "", t905, t930}}},
        {"trailing comma, four columns", "3-7-2005 9:05,,P,", {{"P", "", t905, {}}}},
        {"NUL bytes are ordinary", std::string("\"\",\"\",\"a\0b\",\"\"", 14),
         {{std::string("a\0b", 3), "", {}, {}}}},
    };
    for (const ReadCase& c : cases) {
        TimeLog log;
        log.Append("stale", "", {}, {});
        std::istringstream in(c.file);
        ASSERT_TRUE(log.ReadCsv(in)) << c.name;
        ASSERT_EQ(log.Count(), c.expected.size()) << c.name;
        for (std::uint32_t i = 0; i < log.Count(); ++i) EXPECT_EQ(log.At(i), c.expected[i]) << c.name;
    }
}

TEST(CsvLogWrite, TextsMadeOfEscapesGrowTheirBuffer)
{
    // Every byte of these notes doubles in the file, past what the writer first sets aside.
    TimeLog log;
    for (int i = 0; i < 3; ++i) log.Append("P", std::string(10'000, i % 2 ? '\r' : '\n'), {}, {});
    std::ostringstream out;
    ASSERT_TRUE(log.WriteCsv(out, true));
    std::string expected;
    for (int i = 0; i < 3; ++i) {
        expected += "\"\",\"\",\"0\",\"P\",\"";
        for (int j = 0; j < 10'000; ++j) expected += i % 2 ? "\\r" : "\\n";
        expected += "\"\r\n";
    }
    EXPECT_EQ(out.str(), expected);
}

// A log comes out the same every way it is written: into a new buffer; into the buffer the
// last save left, whatever it held (growth, shrinking, a change of layout, notes past the
// room set aside); and to a stream a piece at a time (records across pieces, notes larger
// than a piece).
TEST(CsvLogWrite, EveryWayOfWritingGivesTheSameBytes)
{
    const struct {
        std::size_t records;
        bool totals;
        std::size_t longNotes;  // a record in the middle with this many bytes to escape
    } saves[] = {{0, false, 0},     {500, true, 0},     {3, false, 20'000}, {500, false, 0},
                 {20'000, true, 0}, {2, true, 0},       {0, true, 0},       {40, false, 20'000},
                 {20'000, false, 0}, {3'000, false, 300'000}, {3'000, true, 300'000}};
    ByteBuffer kept;
    for (const auto& save : saves) {
        TimeLog log = test::GenerateLog(save.records);
        if (save.longNotes > 0) log.InsertAt(log.Count() / 2, "P", std::string(save.longNotes, '\\'), {}, {});
        const std::string name = std::to_string(save.records) + " records" + (save.totals ? " with totals" : "");
        const ByteBuffer fresh = EncodeLog(log, save.totals);
        EncodeLog(log, save.totals, kept);
        EXPECT_EQ(kept.View(), fresh.View()) << name;
        std::ostringstream out;
        ASSERT_TRUE(log.WriteCsv(out, save.totals)) << name;
        EXPECT_EQ(out.str(), fresh.View()) << name << ", streamed";
    }
    // The strip saves after every change: a log a record longer keeps the buffer it had.
    TimeLog log = test::GenerateLog(1'000);
    EncodeLog(log, false, kept);
    const char* const memory = kept.Data();
    log.Append("Next", "", {}, {});
    EncodeLog(log, false, kept);
    EXPECT_EQ(kept.Data(), memory);
}

TEST(CsvLogWrite, LeavesOutIdleAndBlankRecords)
{
    TimeLog log;
    log.Append("<idle>", "", MakeTime(2005, 3, 7, 9, 0), {});
    log.Append("", "n", MakeTime(2005, 3, 7, 9, 0), {});
    log.Append("<IDLE>", "", MakeTime(2005, 3, 7, 9, 0), {});
    std::ostringstream out;
    ASSERT_TRUE(log.WriteCsv(out, false));
    EXPECT_EQ(out.str(), "\"3-7-2005 9:00\",\"\",\"<IDLE>\",\"\"\r\n")
        << "only the exact name <idle> is left out";
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

TEST(CsvLogFailures, ReadErrorLeavesTheLogAsItWas)
{
    TimeLog log;
    log.Append("Kept", "", MakeTime(2005, 3, 7, 9, 0), {});
    FailingBuffer buffer("\"3-7-2005 9:05\",\"\",\"Lost\",\"\"\r\n");
    std::istream in(&buffer);
    EXPECT_FALSE(log.ReadCsv(in));
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.At(0).project, "Kept");

    CsvTable table;
    std::istream again(&buffer);
    EXPECT_FALSE(table.Read(again));
}

TEST(CsvLogFailures, WriteErrorIsReported)
{
    const TimeLog log = GoldenLog();
    FailingBuffer buffer("");
    std::ostream out(&buffer);
    EXPECT_FALSE(log.WriteCsv(out, true));

    std::ofstream closed;  // never opened
    EXPECT_FALSE(log.WriteCsv(closed, false));
}

// A file large enough to be read in parts gives what one pass over it gives, wherever the
// parts meet: inside a field, on a CR, on an LF, just after one, in a blank line.
class CsvLogFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        path_ = (std::filesystem::temp_directory_path() /
                 ("ambrin-csv-file-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())))
                    .string();
    }
    void TearDown() override { std::filesystem::remove(path_); }

    void ExpectSameAsOnePass(const std::string& bytes, const std::string& label)
    {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << bytes;
        std::istringstream in(bytes);
        TimeLog expected;
        ASSERT_TRUE(expected.ReadCsv(in));
        TimeLog log;
        ASSERT_TRUE(ReadCsvFile(log, path_)) << label;
        ASSERT_EQ(log.Count(), expected.Count()) << label;
        for (std::uint32_t i = 0; i < log.Count(); ++i) {
            ASSERT_EQ(log.At(i), expected.At(i)) << label << ", record " << i;
        }
    }

    std::string path_;
};

TEST_F(CsvLogFile, HalvesMeetWhereverTheMiddleFalls)
{
    std::ostringstream out;
    test::GenerateLog(14'000).WriteCsv(out, false);
    const std::string log = out.str();
    ASSERT_GE(log.size(), kSplitReadBytes);
    // Each blank line added at the end moves the middle on by one byte: 120 of them carry it
    // across more than a whole record.
    std::string tail;
    for (int i = 0; i < 120; ++i) {
        ExpectSameAsOnePass(log + tail, "with " + std::to_string(tail.size()) + " bytes after");
        tail += i % 3 == 0 ? "\r\n" : "\n";
    }
}

TEST_F(CsvLogFile, OddShapesAroundTheMiddle)
{
    const std::string row = "\"3-7-2005 9:05\",\"3-7-2005 9:30\",\"Row\",\"a\\nb\"\r\n";
    std::string rows;
    while (rows.size() < kSplitReadBytes / 2 + 1) rows += row;
    const std::string longLine(kSplitReadBytes, 'x');
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"no line end after the middle", rows + "\"3-7-2005 9:05\",\"\",\"Last\"" + longLine},
        {"the only line end after the middle is the last byte", rows + longLine + "\n"},
        {"one long line", longLine + longLine},
        {"no line end at the very end", rows + rows + "\"3-7-2005 9:05\",\"\",\"Open\",\"\""},
        {"CR-only line ends join into one line", std::string(kSplitReadBytes, '\r') + row},
        {"blank and space-only lines around the middle", rows + "\r\n   \r\n\n" + rows},
        {"just under the size that splits", rows.substr(0, kSplitReadBytes - 1)},
        {"several parts", rows + rows + rows + rows + rows + rows + rows},
        {"a long line across a mark between parts", rows + rows + rows + longLine + longLine + rows + rows + rows},
    };
    for (const auto& c : cases) ExpectSameAsOnePass(c.bytes, c.name);
}

// Parts begin at the first line start after each of the even marks across the file.
TEST_F(CsvLogFile, PartsBeginWhereTheFirstLineAfterEachMarkBegins)
{
    const auto generated = [](std::size_t records) {
        std::ostringstream out;
        test::GenerateLog(records).WriteCsv(out, false);
        return out.str();
    };
    const std::string row = "\"3-7-2005 9:05\",\"\",\"Row\",\"\"\r\n";
    const struct {
        const char* name;
        std::string bytes;
        std::size_t parts;  // 0: every mark has its line start; otherwise that many starts
    } cases[] = {
        {"a log of 1 MiB: two parts", generated(14'000), 0},
        {"a log of several MiB", generated(50'000), 0},
        {"a small log", generated(5'000), 1},
        {"one long line", std::string(2 * kSplitReadBytes, 'x'), 1},
        {"one line end, more than 1 MiB past all marks but the last",
         row + std::string(3 * kSplitReadBytes, 'x') + "\n" + row, 2},
    };
    for (const auto& c : cases) {
        std::ofstream(path_, std::ios::binary | std::ios::trunc) << c.bytes;
        const std::vector<std::uint64_t> starts = SplitOffsets(path_);
        const std::uint64_t size = c.bytes.size();
        const std::uint64_t parts = std::clamp<std::uint64_t>(size / kPartBytes, 2, kMaxParts);
        EXPECT_EQ(starts.size() + 1, c.parts == 0 ? parts : c.parts) << c.name;
        if (c.parts != 0) continue;
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const std::uint64_t mark = size / parts * (k + 1);
            EXPECT_EQ(c.bytes.find('\n', mark - 1) + 1, starts[k]) << c.name << ", part " << k + 2;
        }
    }
}

// A thread that joins a read under way takes parts of it; the log is the same as one pass
// gives. The reader may finish before the joiner gets a part in, so it is tried a few times.
TEST_F(CsvLogFile, AThreadThatJoinsReadsPartsOfTheSameLog)
{
    std::ostringstream out;
    test::GenerateLog(100'000).WriteCsv(out, false);
    std::ofstream(path_, std::ios::binary | std::ios::trunc) << out.str();
    std::istringstream in(out.str());
    TimeLog expected;
    ASSERT_TRUE(expected.ReadCsv(in));

    LogReadHelp help;
    EXPECT_EQ(help.Join(), 0u);  // nothing under way
    std::size_t joinedParts = 0;
    for (int attempt = 0; attempt < 5 && joinedParts == 0; ++attempt) {
        TimeLog log;
        auto reading = std::async(std::launch::async, [&] { return ReadCsvFile(log, path_, &help); });
        while (reading.wait_for(std::chrono::seconds(0)) != std::future_status::ready) joinedParts += help.Join();
        ASSERT_TRUE(reading.get());
        ASSERT_EQ(log.Count(), expected.Count());
        for (std::uint32_t i = 0; i < log.Count(); ++i) ASSERT_EQ(log.At(i), expected.At(i)) << "record " << i;
    }
    EXPECT_GT(joinedParts, 0u);
    EXPECT_EQ(help.Join(), 0u);  // the read is over
}

TEST_F(CsvLogFile, WhatCannotBeReadLeavesTheLogAsItWas)
{
    TimeLog log;
    log.Append("Kept", "", MakeTime(2005, 3, 7, 9, 0), {});
    EXPECT_FALSE(ReadCsvFile(log, path_));  // no such file
    std::filesystem::create_directory(path_);
    EXPECT_FALSE(ReadCsvFile(log, path_));  // a folder
    std::filesystem::remove(path_);
    ASSERT_EQ(log.Count(), 1u);
    EXPECT_EQ(log.At(0).project, "Kept");
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
    EXPECT_EQ(EncodeField("x\ny"), "\"x\\ny\"");
}

// The encoder takes clean runs eight bytes at a time: a byte to escape anywhere in a text
// of any length, alone or with a second one, comes out as the one-byte-at-a-time rule says.
TEST(CsvRows, EscapesWhereverTheyFall)
{
    const auto byByte = [](const std::string& text) {
        std::string out = "\"";
        for (const char c : text) {
            switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '"': out += '\''; break;
            case '\\': out += '/'; break;
            default: out += c;
            }
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
                ASSERT_EQ(EncodeField(text), byByte(text)) << length << " " << at << " and a backslash";
            }
        }
    }
}

}  // namespace
}  // namespace ambrin
