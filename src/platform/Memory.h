#pragma once

#include <cstddef>

namespace ambrin::platform {

// While one lives, the heap grows in large steps. A new thread's heap otherwise grows a page
// at a time, a system call for every few records read: 4,300 of them for 100,000 records,
// about a tenth of the reading. Nothing where the allocator has no such setting.
class BulkAllocation {
public:
    BulkAllocation();
    ~BulkAllocation();
    BulkAllocation(const BulkAllocation&) = delete;
    BulkAllocation& operator=(const BulkAllocation&) = delete;

    // Makes about the next `bytes` of the calling thread's heap present in memory at once, so
    // that the allocations that follow find their pages there instead of faulting each one in
    // on first use. Asking for more than is then used costs that much memory; nothing happens
    // where the system has no such request.
    void PrepareHeap(std::size_t bytes) const;
};

}  // namespace ambrin::platform
