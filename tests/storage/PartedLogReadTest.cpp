#include "storage/PartedLogRead.h"

#include "storage/CsvLog.h"
#include "support/LogGenerator.h"
#include "support/SystemCallFaults.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <sstream>

namespace ambrin {
namespace {

constexpr std::size_t kPart = PartedLogRead::kPartBytes;

class PartedLogReadTest : public ::testing::Test {
protected:
    // The file read in parts gives what one pass over the same bytes gives.
    void ExpectSameAsOnePass(const std::string& bytes, const std::string& label)
    {
        test::WriteBytes(path_, bytes);
        std::istringstream in(bytes);
        TimeLog expected;
        ASSERT_TRUE(expected.ReadCsv(in));
        TimeLog log;
        ASSERT_TRUE(ReadCsvFile(log, path_)) << label;
        EXPECT_EQ(test::RecordsOf(log), test::RecordsOf(expected)) << label;
    }

    test::TempHome home_;
    std::string path_ = home_.Path() + "/log.csv";
};

TEST_F(PartedLogReadTest, PartsMeetWhereverTheirEdgesFall)
{
    // Each blank line added at the front moves every record on by its length: together more
    // than a whole record, across the edges between three parts.
    const std::string log = test::GenerateCsv(7'500);
    ASSERT_GT(log.size(), 2 * kPart);
    std::string head;
    for (int i = 0; i < 60; ++i) {
        ExpectSameAsOnePass(head + log, "with " + std::to_string(head.size()) + " bytes before");
        head += i % 3 == 0 ? "\r\n" : "\n";
    }
}

TEST_F(PartedLogReadTest, OddShapesAcrossTheEdges)
{
    const std::string row = "\"3-7-2005 9:05\",\"3-7-2005 9:30\",\"Row\",\"a\\nb\"\r\n";
    std::string rows;
    while (rows.size() < kPart + 1) rows += row;
    const std::string longLine(kPart, 'x');
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"no line end after an edge", rows + "\"3-7-2005 9:05\",\"\",\"Last\"" + longLine},
        {"the only line end after an edge is the last byte", rows + longLine + "\n"},
        {"one line over several parts", longLine + longLine + longLine},
        {"a long line between short ones", rows + longLine + longLine + rows},
        {"CR-only line ends make one line", std::string(kPart, '\r') + row},
        {"blank and space-only lines at the edges", rows + "\r\n   \r\n\n" + rows},
        {"exactly one part", rows.substr(0, kPart)},
        {"a line end as a part's last byte", std::string(kPart - 1, 'y') + "\n" + rows},
    };
    for (const auto& c : cases) ExpectSameAsOnePass(c.bytes, c.name);
}

// A thread that joins a read under way takes parts of it, and the log is the same as one pass
// gives. The reader may finish before the joiner gets a part in, so it is tried a few times.
TEST_F(PartedLogReadTest, AThreadThatJoinsTakesPartsOfTheSameLog)
{
    test::WriteBytes(path_, test::GenerateCsv(100'000));
    TimeLog expected;
    ASSERT_TRUE(ReadCsvFile(expected, path_));
    std::size_t joined = 0;
    for (int attempt = 0; attempt < 5 && joined == 0; ++attempt) {
        PartedLogRead read(path_);
        TimeLog log;
        auto reading = std::async(std::launch::async, [&] { return read.Finish(log); });
        joined += read.TakeParts();
        ASSERT_TRUE(reading.get());
        ASSERT_EQ(log.Count(), expected.Count());
        for (std::uint32_t i = 0; i < log.Count(); i += 997) ASSERT_EQ(log.View(i), expected.View(i));
    }
    EXPECT_GT(joined, 0u);
}

TEST_F(PartedLogReadTest, AMillionRecordsRoundTripThroughAFile)
{
    const TimeLog log = test::GenerateLog(1'000'000);
    std::ostringstream out;
    ASSERT_TRUE(log.WriteCsv(out, false));
    test::WriteBytes(path_, out.str());
    TimeLog back;
    ASSERT_TRUE(ReadCsvFile(back, path_));
    ASSERT_EQ(back.Count(), log.Count());
    for (std::uint32_t i = 0; i < log.Count(); i += i < 999'000 ? 4999 : 1) {
        ASSERT_EQ(back.View(i).project, log.View(i).project) << i;  // no quote in a project: read as written
        ASSERT_EQ(back.View(i).start, log.View(i).start) << i;
        ASSERT_EQ(back.View(i).end, log.View(i).end) << i;
    }
}

#ifndef _WIN32  // faults are injected through wrapped POSIX calls
// A read that fails anywhere, in a small file or a large one read in parts, fails the whole
// read and leaves the log as it was: never a crash, never a log cut short.
TEST_F(PartedLogReadTest, AReadErrorAnywhereFailsTheWholeRead)
{
    for (const std::size_t records : {10u, 20'000u}) {
        const std::string bytes = test::GenerateCsv(records);
        test::WriteBytes(path_, bytes);
        for (const long long at : {0LL, 100LL, static_cast<long long>(bytes.size() / 2),
                                   static_cast<long long>(bytes.size() - 1)}) {
            TimeLog log;
            log.Append("Kept", "", {}, {});
            const test::InjectedFault fault(test::SystemCall::Read, 5, at);
            EXPECT_FALSE(ReadCsvFile(log, path_)) << records << " records, failing past " << at;
            ASSERT_EQ(log.Count(), 1u);
            EXPECT_EQ(log.View(0).project, "Kept");
        }
    }
}
#endif

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
// Reading a large log changes nothing for the rest of the program: glibc still raises its
// mmap threshold as large blocks are freed, which any mallopt setting would have switched off.
TEST_F(PartedLogReadTest, ReadingLeavesTheAllocatorAsItWas)
{
    test::WriteBytes(path_, test::GenerateCsv(30'000));
    TimeLog log;
    ASSERT_TRUE(ReadCsvFile(log, path_));
    constexpr std::size_t kLarge = 4 << 20;
    void* volatile first = std::malloc(kLarge);  // mapped on its own; freeing it raises the threshold
    std::free(first);
    const auto mappedBefore = mallinfo2().hblks;
    void* volatile second = std::malloc(kLarge);
    const auto mappedAfter = mallinfo2().hblks;
    std::free(second);
    EXPECT_EQ(mappedAfter, mappedBefore) << "the block came from the heap: the threshold still adapts";
}
#endif

TEST_F(PartedLogReadTest, WhatCannotBeOpenedLeavesTheLogAsItWas)
{
    TimeLog log;
    log.Append("Kept", "", {}, {});
    EXPECT_FALSE(ReadCsvFile(log, path_));  // no such file
    std::filesystem::create_directory(path_);
    EXPECT_FALSE(ReadCsvFile(log, path_));  // a folder
    EXPECT_EQ(log.Count(), 1u);
}

}  // namespace
}  // namespace ambrin
