#include "platform/Memory.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include <sys/resource.h>

namespace ambrin::platform {
namespace {

[[maybe_unused]] long ThreadPageFaults()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

// The log reader makes its heap ready before it builds records there: its small blocks must
// then find their pages present, where they would otherwise take a page fault every 4 KiB.
TEST(BulkAllocation, PreparedHeapGivesOutPagesWithoutFaults)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || !defined(__GLIBC__) || !defined(__linux__)
    GTEST_SKIP() << "only the C library's own allocator on Linux prepares its heap, not a sanitizer's";
#else
    constexpr std::size_t kBlock = 96;  // a record's size; 112 bytes with the allocator's own
    constexpr std::size_t kBlocks = 16 * 1024;
    constexpr long kPages = 112 * kBlocks / 4096;
    long unprepared = 0;
    long prepared = 0;
    // A thread of its own has a heap of its own, untouched so far.
    std::thread([&] {
        const BulkAllocation bulk;
        std::vector<std::unique_ptr<char[]>> blocks(2 * kBlocks);  // in memory before counting
        std::size_t made = 0;
        const auto allocate = [&] {
            const long before = ThreadPageFaults();
            for (std::size_t i = 0; i < kBlocks; ++i, ++made) {
                blocks[made].reset(new char[kBlock]);
                blocks[made][kBlock - 1] = 1;
            }
            return ThreadPageFaults() - before;
        };
        unprepared = allocate();
        bulk.PrepareHeap(2 * 112 * kBlocks);
        prepared = allocate();
    }).join();
    if (unprepared < kPages / 2) GTEST_SKIP() << "the heap was in memory already: nothing to compare";
    EXPECT_LT(prepared, kPages / 20) << prepared << " faults for " << kPages << " pages, against "
                                     << unprepared << " unprepared";
#endif
}

}  // namespace
}  // namespace ambrin::platform
