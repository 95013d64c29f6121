#include "runtime/number/pow10.h"

#include <limits>

#include "runtime/number/extended_x87.h"

// g++ rounds long double literals to nearest, so each literal is the nearest entry.
const CheckedArray<long double, 0, 31> kPow10Small = {{
    1e0L, 1e1L, 1e2L, 1e3L, 1e4L, 1e5L, 1e6L, 1e7L,
    1e8L, 1e9L, 1e10L, 1e11L, 1e12L, 1e13L, 1e14L, 1e15L,
    1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L,
    1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L}};

const CheckedArray<long double, 1, 15> kPow10Mid = {{
    1e32L, 1e64L, 1e96L, 1e128L, 1e160L, 1e192L, 1e224L, 1e256L,
    1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L}};

const CheckedArray<long double, 1, 9> kPow10Large = {{
    1e512L, 1e1024L, 1e1536L, 1e2048L, 1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L}};

long double ScalePow10(long double x, int32_t n) {
  if (n == 0) return x;
  if (n >= 5120) return std::numeric_limits<long double>::infinity();
  if (n <= -5120) return 0.0L;
  // 1. Split |n| = 512 l + 32 j + i, with l in 0..9, j in 0..15, i in 0..31.
  int32_t magnitude = n < 0 ? -n : n;
  int i = magnitude % 32;
  int j = magnitude / 32 % 16;
  int l = magnitude / 512;
  // 2. Apply the three factors smallest first, rounding after each.
  if (n > 0) {
    x *= kPow10Small[i];
    if (j != 0) x *= kPow10Mid[j];
    if (l != 0) x *= kPow10Large[l];
  } else {
    x /= kPow10Small[i];
    if (j != 0) x /= kPow10Mid[j];
    if (l != 0) x /= kPow10Large[l];
  }
  ArithmeticCheckpoint();
  return x;
}
