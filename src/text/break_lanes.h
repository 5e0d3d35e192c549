#pragma once

// The line breaks' shape (lineBreakShapeOf) read 32 bytes a step, each byte with the one before
// it: an answer at a byte depends only on that pair, so the answers stay in vector registers till
// the end. Shared by the shape scan and the UTF-8 check that finds the shape as it goes.
#include "text/lines.h"
#include "text/simd_intrinsics.h"

#ifdef KIVO_AVX2
namespace kivo::detail {

/// The answers so far, a byte lane each.
struct BreakLanes {
    __m256i anyCr, notAllCrLf, consecutive;
};

/// Before the first byte.
KIVO_AVX2_HELPER BreakLanes noBreakLanes() {
    return {_mm256_setzero_si256(), _mm256_setzero_si256(), _mm256_setzero_si256()};
}

/// Takes the 32 bytes `here`, `before` being the 32 that each follows (zeros before the text).
KIVO_AVX2_HELPER void takeBreakPairs(BreakLanes& lanes, __m256i here, __m256i before) {
    const __m256i cr = _mm256_set1_epi8('\r');
    const __m256i lf = _mm256_set1_epi8('\n');
    const __m256i crHere = _mm256_cmpeq_epi8(here, cr);
    const __m256i lfHere = _mm256_cmpeq_epi8(here, lf);
    const __m256i crBefore = _mm256_cmpeq_epi8(before, cr);
    const __m256i breakBefore = _mm256_or_si256(crBefore, _mm256_cmpeq_epi8(before, lf));
    const __m256i pair = _mm256_and_si256(breakBefore, _mm256_or_si256(crHere, lfHere));
    lanes.anyCr = _mm256_or_si256(lanes.anyCr, crHere);
    lanes.notAllCrLf = _mm256_or_si256(lanes.notAllCrLf, _mm256_xor_si256(lfHere, crBefore));
    lanes.consecutive =
        _mm256_or_si256(lanes.consecutive, _mm256_andnot_si256(_mm256_and_si256(crBefore, lfHere), pair));
}

KIVO_AVX2_HELPER bool anyLane(__m256i v) {
    return _mm256_testz_si256(v, v) == 0;
}

/// The shape of a text every byte of which was taken, ending with `lastByte`.
KIVO_AVX2_HELPER LineBreakShape shapeOfLanes(const BreakLanes& lanes, char lastByte) {
    const bool crs = anyLane(lanes.anyCr);
    const bool uniform = !crs || (!anyLane(lanes.notAllCrLf) && lastByte != '\r');
    return {.uniform = uniform, .consecutive = anyLane(lanes.consecutive), .crLf = uniform && crs};
}

}  // namespace kivo::detail
#endif
