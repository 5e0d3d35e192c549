#pragma once

// The vector kernels of the text helpers. Those for AVX2 are compiled for it alone and entered only
// when the processor has it, so that the programs keep running on any x86-64. Their helpers are
// always inlined, so that their constants are loaded once per loop rather than once per call.
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KIVO_AVX2 1
#define KIVO_TARGET_AVX2 __attribute__((target("avx2,bmi,popcnt")))
#define KIVO_AVX2_HELPER inline __attribute__((always_inline, target("avx2,bmi,popcnt")))
#endif

namespace kivo::simd {

/// Which implementation of a vectorised helper runs: the one for any processor (SSE2 at most on
/// x86-64), or AVX2's. Tests run every available one on the same inputs.
enum class Kernel { Portable, Avx2 };

bool available(Kernel kernel);

/// The fastest kernel the processor has, chosen once.
Kernel fastest();

}  // namespace kivo::simd
