#include "platform/Memory.h"

#include <cstdint>
#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif
#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace ambrin::platform {

namespace {

#if defined(__GLIBC__)
constexpr int kBulkTopPad = 64 * 1024 * 1024;  // address space only: pages count when used
constexpr int kDefaultTopPad = 128 * 1024;
// Blocks up to this size come from the heap even when its top must grow for them: a prepared
// stretch mapped apart would be given back when freed, its pages with it.
constexpr int kBulkMmapThreshold = 32 * 1024 * 1024;  // glibc's largest on 64-bit systems
constexpr int kDefaultMmapThreshold = 128 * 1024;
#endif

}  // namespace

BulkAllocation::BulkAllocation()
{
#if defined(__GLIBC__)
    mallopt(M_TOP_PAD, kBulkTopPad);
    mallopt(M_MMAP_THRESHOLD, kBulkMmapThreshold);
#endif
}

BulkAllocation::~BulkAllocation()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, kDefaultMmapThreshold);
    mallopt(M_TOP_PAD, kDefaultTopPad);
#endif
}

void BulkAllocation::PrepareHeap(std::size_t bytes) const
{
#if defined(__GLIBC__) && defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // A block this size comes from the top of the thread's heap; once it is freed, the next
    // allocations are carved from the same addresses. One request makes all its pages present
    // for a fraction of what a fault per page costs (a tenth, on a virtual machine here).
    if (bytes == 0 || bytes > static_cast<std::size_t>(kBulkMmapThreshold)) return;
    void* block = std::malloc(bytes);
    if (block == nullptr) return;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    auto begin = (reinterpret_cast<std::uintptr_t>(block) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes) / page * page;
    // Each request mostly covers what the one before it made present: those pages are
    // skipped instead of walked again. Pages given back since only fault in as they would.
    thread_local std::uintptr_t presentFrom = 0;
    thread_local std::uintptr_t presentTo = 0;
    if (begin >= presentFrom && begin < presentTo) {
        begin = presentTo;
    } else {
        presentFrom = begin;
    }
    if (end > begin) {
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
        presentTo = end;
    }
    std::free(block);
#else
    (void)bytes;
#endif
}

}  // namespace ambrin::platform
