#pragma once

namespace ambrin::platform {

// While one lives, the heap grows in large steps. A thread's heap otherwise grows a page at
// a time, a system call for every few records read; reading a large log on two threads
// spent a fifth of its time there. Nothing where the allocator has no such setting.
class BulkAllocation {
public:
    BulkAllocation();
    ~BulkAllocation();
    BulkAllocation(const BulkAllocation&) = delete;
    BulkAllocation& operator=(const BulkAllocation&) = delete;
};

}  // namespace ambrin::platform
