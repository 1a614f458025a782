#include "platform/Memory.h"

namespace ambrin::platform {

// The Windows heap commits in large steps already.
BulkAllocation::BulkAllocation() = default;
BulkAllocation::~BulkAllocation() = default;

}  // namespace ambrin::platform
