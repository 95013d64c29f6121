#pragma once
// ProfitTable: the profit of each of the 8 projects (rows 1..8) at the 10 investment
// levels 0, 1/9, ... 9/9 of the budget (columns 0..9), interpolated linearly between the
// levels. Loaded once from a text file of 80 numbers, project by project.
//
// With row k = 0, 1, 2, ... 9: ProjectProfit(k, 0.3f) = 2.70000005 (pattern 402ccccd).
// With every row 0, 10, ... 90 and every share 0.125: TotalProfit = 90.

#include <emmintrin.h>

#include <cstdint>

#include "model/allocation.h"
#include "runtime/checked.h"
#include "runtime/fpu.h"

struct ProfitTable {
  CheckedArray<CheckedArray<float, 0, 9>, 1, 8> entries;

  // Reads 80 reals into entries [1, 0], [1, 1], ... [8, 9], each rounded to float. Missing
  // numbers leave 0; a failure to open, a malformed number (106) or one beyond the float
  // range (205) stops the run, with the entries read before it stored.
  void Load(const char* fileName);

  // The interpolated profit of project k (1..8) at share x: t = 9x, i = trunc(t) (0..255,
  // checked), f = t - i rounded to float, then (1 - f) * entry[k, i] + f * entry[k, i + 1]
  // in extended precision, rounded to float; at i = 9 the last column serves as both.
  float ProjectProfit(int k, float x) const {
    float profit = ProjectProfitExtended(k, x);
    FpuCheckpoint();
    return profit;
  }

  // The sum of the 8 project profits, rounded to float after every addition. The hot
  // path of the search: settled two projects at a time in double where that provably
  // gives the same bits, else project by project as written.
  [[gnu::always_inline]] float TotalProfit(AllocationVector v) const {
    float sum;
    if (TotalProfitPacked(v, sum)) [[likely]]
      return sum;
    sum = 0.0f;
    for (int k = 1; k <= 8; ++k) sum = ProjectProfitExtended(k, v[k]) + sum;
    FpuCheckpoint();
    return sum;
  }

  // ProjectProfit with the blend on the x87 unit and without the final fwait: a fault
  // of the blend surfaces at the caller's next checkpoint.
  [[gnu::noinline]] float ProjectProfitExtended(int k, float x) const;

  // TotalProfit in double arithmetic, two projects per register; false, with nothing
  // decided, where a share lies outside [+0, 1) or a blend might round otherwise.
  //
  // Why the double blend gives the extended result's float: with f the same float as on
  // the path as written, w = 1 - f, pa = w * a and pb = f * b in double, s = pa + pb,
  // and E the extended blend,
  // 1. pb (24 x 24 bits) is exact in both formats; w is exact in both unless f < 2^-30,
  //    where it is off by at most 2^-54 (double) and 2^-65 (extended); so pa is within
  //    2^-52 |pa| of w * a, and the extended product within 2^-63 |pa|.
  // 2. Hence |s - E| < (|pa| + |s|) * 2^-51.9, whatever the signs. With
  //    delta = (|pa| + |s|) * 2^-50, the double values s - delta and s + delta, even
  //    after their own rounding, enclose E.
  // 3. Rounding to float is monotonic: if both ends round to the same float, bit for
  //    bit (so a signed zero too), E rounds to it as well, and so does s.
  // 4. |s|, |E| and both ends stay within max(|a|, |b|) (1 + 2^-49), since w + f <= 1 +
  //    2^-54: no conversion overflows. An infinite entry gives the same invalid
  //    operation (0 * inf, inf - inf) in either format, or an infinite s, for which
  //    delta is capped so that s - delta stays infinite rather than invalid.
  [[gnu::always_inline]] bool TotalProfitPacked(const AllocationVector& v, float& total) const {
    // 1. Every share in [+0, 1): its bits, read as a signed integer, lie in
    //    0 .. 0x3f7fffff. Then every level is at most 8, and each entry and the one after
    //    it are in range. (A share of exactly 1, rare, takes the path as written.)
    const float* shares = v.Range(1, 8);
    __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shares));
    __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(shares + 4));
    __m128i belowOne = _mm_set1_epi32(0x3f7fffff);
    __m128i outside =
        _mm_or_si128(_mm_or_si128(_mm_cmpgt_epi32(low, belowOne), _mm_cmpgt_epi32(high, belowOne)),
                     _mm_or_si128(low, high));
    if (_mm_movemask_ps(_mm_castsi128_ps(outside)) != 0) return false;

    // 2. Per pair of projects: t = 9x (exact), level i = trunc(t), f = t - i rounded to
    //    float, then back to double (exact).
    __m128 lowShares = _mm_castsi128_ps(low);
    __m128 highShares = _mm_castsi128_ps(high);
    const __m128d x[4] = {
        _mm_cvtps_pd(lowShares), _mm_cvtps_pd(_mm_movehl_ps(lowShares, lowShares)),
        _mm_cvtps_pd(highShares), _mm_cvtps_pd(_mm_movehl_ps(highShares, highShares))};
    __m128i agree = _mm_set1_epi32(-1);
    __m128 profit[4];
#pragma GCC unroll 4
    for (int p = 0; p < 4; ++p) {
      __m128d t = _mm_mul_pd(x[p], _mm_set1_pd(9.0));
      __m128i level = _mm_cvttpd_epi32(t);
      __m128d f = _mm_cvtps_pd(_mm_cvtpd_ps(_mm_sub_pd(t, _mm_cvtepi32_pd(level))));

      // 3. The entries at level i and i + 1 of both projects, each pair read at once:
      //    (a1, a2, b1, b2).
      uint64_t levels = static_cast<uint64_t>(_mm_cvtsi128_si64(level));
      const float* first = entries[2 * p + 1].Range(0, 10) + static_cast<uint32_t>(levels);
      const float* second = entries[2 * p + 2].Range(0, 10) + static_cast<uint32_t>(levels >> 32);
      __m128 levelPairs = _mm_unpacklo_ps(_mm_castsi128_ps(_mm_loadu_si64(first)),
                                          _mm_castsi128_ps(_mm_loadu_si64(second)));
      __m128d a = _mm_cvtps_pd(levelPairs);
      __m128d b = _mm_cvtps_pd(_mm_movehl_ps(levelPairs, levelPairs));

      // 4. The blends, the bracket around each, and the float results.
      __m128d pa = _mm_mul_pd(_mm_sub_pd(_mm_set1_pd(1.0), f), a);
      __m128d pb = _mm_mul_pd(f, b);
      __m128d s = _mm_add_pd(pa, pb);
      __m128d magnitude = _mm_castsi128_pd(_mm_set1_epi64x(0x7FFFFFFFFFFFFFFF));
      __m128d delta =
          _mm_min_pd(_mm_mul_pd(_mm_add_pd(_mm_and_pd(pa, magnitude), _mm_and_pd(s, magnitude)),
                                _mm_set1_pd(0x1p-50)),
                     _mm_set1_pd(0x1p1000));
      __m128 below = _mm_cvtpd_ps(_mm_sub_pd(s, delta));
      __m128 above = _mm_cvtpd_ps(_mm_add_pd(s, delta));
      agree =
          _mm_and_si128(agree, _mm_cmpeq_epi32(_mm_castps_si128(below), _mm_castps_si128(above)));
      profit[p] = _mm_cvtpd_ps(s);
    }
    if (_mm_movemask_epi8(agree) != 0xFFFF) return false;

    // 5. The running sum in project order, rounded to float after every addition.
    float sum = 0.0f;
#pragma GCC unroll 4
    for (int p = 0; p < 4; ++p) {
      sum = _mm_cvtss_f32(profit[p]) + sum;
      sum = _mm_cvtss_f32(_mm_shuffle_ps(profit[p], profit[p], 1)) + sum;
    }
    total = sum;
    return true;
  }
};
