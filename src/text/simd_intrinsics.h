#pragma once

// The vector instructions of the kernels: SSE2's wherever the compiler targets it (always on
// x86-64), AVX2's for the kernels compiled for it alone.
#include "text/simd.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#ifdef KIVO_AVX2
#include <immintrin.h>
#endif
