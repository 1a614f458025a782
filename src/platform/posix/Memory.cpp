#include "platform/Memory.h"

#include <cstdlib>  // defines __GLIBC__ where it applies

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace ambrin::platform {

namespace {

#if defined(__GLIBC__)
constexpr int kBulkTopPad = 64 * 1024 * 1024;  // address space only: pages count when used
constexpr int kDefaultTopPad = 128 * 1024;
#endif

}  // namespace

BulkAllocation::BulkAllocation()
{
#if defined(__GLIBC__)
    mallopt(M_TOP_PAD, kBulkTopPad);
#endif
}

BulkAllocation::~BulkAllocation()
{
#if defined(__GLIBC__)
    mallopt(M_TOP_PAD, kDefaultTopPad);
#endif
}

}  // namespace ambrin::platform
