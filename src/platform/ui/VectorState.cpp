#include "ui/VectorState.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace sonmetra::ui {

#if defined(__x86_64__) || defined(__i386__)
namespace {

__attribute__((target("avx"))) void zeroUpperHalves()
{
    _mm256_zeroupper();
}

} // namespace

void clearUpperVectorState()
{
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        zeroUpperHalves();
}
#else
void clearUpperVectorState() {}
#endif

} // namespace sonmetra::ui
