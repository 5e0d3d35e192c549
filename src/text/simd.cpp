#include "text/simd.h"

namespace kivo::simd {

bool available(Kernel kernel) {
    if (kernel == Kernel::Portable) return true;
#ifdef KIVO_AVX2
    static const bool avx2 =
        __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("popcnt");
    return avx2;
#else
    return false;
#endif
}

Kernel fastest() {
    static const Kernel kernel = available(Kernel::Avx2) ? Kernel::Avx2 : Kernel::Portable;
    return kernel;
}

}  // namespace kivo::simd
