#include "platform/VectorState.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>

namespace ambrin::platform {

namespace {

__attribute__((target("avx"))) void ZeroUpper()
{
    _mm256_zeroupper();
}

}  // namespace

void ClearUpperVectorState()
{
    if (__builtin_cpu_supports("avx")) ZeroUpper();  // the instruction exists with AVX only
}

}  // namespace ambrin::platform

#else

namespace ambrin::platform {

void ClearUpperVectorState() {}

}  // namespace ambrin::platform

#endif
