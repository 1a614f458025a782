#include "platform/Memory.h"

namespace ambrin::platform {

// The Windows heap commits in large steps already.
BulkAllocation::BulkAllocation() = default;
BulkAllocation::~BulkAllocation() = default;
void BulkAllocation::PrepareHeap(std::size_t) const {}

}  // namespace ambrin::platform
