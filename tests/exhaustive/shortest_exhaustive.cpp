// Every positive float through the choice ShortestDigits makes at each count of digits:
// where the nearest count-digit decimal d does not read back as x, can both d - 1 and
// d + 1 read back? If never, the neighbour that reads back is the only one, and there is
// no choice between two to get wrong.
//
// Why it should be never: at one scale the reader is monotone in the digits (an exact
// integer times fixed powers of ten, each product rounded to nearest, then rounded to
// float), and d lies between its neighbours. The search shows it for every float.
//
// Only the counts whose unit 10^scale is at most twice the float's larger gap are
// searched: two decimals 2 * 10^scale apart that both read back as x lie within half a
// gap of it on each side (with the reader's 2^-63 relative slack), and so does one
// neighbour with the nearest decimal no further than half a unit, which no coarser unit
// allows. Coarser counts where ShortestDigits stops on the nearest decimal leave the
// search a few counts more to look at, no fewer. The search stops, as ShortestDigits
// does, at the first count where the nearest decimal or a neighbour reads back.
//
// Usage: shortest_exhaustive [stride [threads]]. Stride 1 searches all 2^31 - 2^23
// positive finite floats (minutes); a larger stride every stride-th one.

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "runtime/arith/extended.h"
#include "runtime/number/format.h"
#include "runtime/number/parse.h"
#include "runtime/program/program.h"

namespace {

constexpr uint64_t kFinite = 0x7F800000;  // positive finite patterns: 1 .. kFinite - 1
constexpr uint64_t kChunk = uint64_t{1} << 16;

std::mutex gReportLock;
std::atomic<uint64_t> gBoth{0};
std::atomic<uint64_t> gOneNeighbour{0};

float FloatOf(uint32_t bits) {
  float x;
  std::memcpy(&x, &bits, sizeof x);
  return x;
}

uint32_t BitsOf(float x) {
  uint32_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// digits * 10^scale as the program's reader stores it, as float bits; 0xFFFFFFFF past the
// float range (where the program would stop instead).
uint32_t ReadBack(uint64_t digits, int32_t scale) {
  char text[48];
  int n = std::snprintf(text, sizeof text, "%llue%d", static_cast<unsigned long long>(digits),
                        static_cast<int>(scale));
  Extended value = ParseReal(std::string_view(text, static_cast<size_t>(n))).value;
  if (!(value < Extended(0x1p128 - 0x1p103))) return 0xFFFFFFFF;
  return BitsOf(ToFloat(value));
}

// The larger of the gaps to the float's two neighbours (to 2^128 above the largest).
double LargerGap(uint32_t bits) {
  double x = FloatOf(bits);
  double above = bits + 1 == kFinite ? 0x1p128 - x : FloatOf(bits + 1) - x;
  double below = x - FloatOf(bits - 1);
  return above > below ? above : below;
}

void Search(uint32_t bits) {
  const Extended a = Extended(FloatOf(bits));
  const double gap = LargerGap(bits);
  const DecimalParts parts = DecimalExponent(a);
  // The first count that may be fine enough: the first digit's exponent is at least
  // floor(log10 x), taken one lower against the double's own rounding.
  const int32_t low =
      static_cast<int32_t>(std::floor(std::log10(static_cast<double>(FloatOf(bits))))) - 1;
  int32_t count = 1;
  while (count < 17 && std::pow(10.0, low - count + 1) > 2 * gap) ++count;
  for (; count <= 17; ++count) {
    DigitBuffer S;
    auto [first, exponent] = SignificantDigits(parts, count, S);
    uint64_t d = 0;
    for (int32_t i = first; i < first + count; ++i) d = d * 10 + static_cast<uint64_t>(S[i] - '0');
    const int32_t scale = exponent - count + 1;
    if (ReadBack(d, scale) == bits) return;
    if (std::pow(10.0, scale) > 2 * gap) continue;
    uint64_t lowest = 1;
    for (int32_t i = 1; i < count; ++i) lowest *= 10;
    bool up = ReadBack(d + 1, scale) == bits;
    bool down = d > lowest && ReadBack(d - 1, scale) == bits;
    if (up && down) {
      if (gBoth.fetch_add(1) < 20) {
        std::lock_guard<std::mutex> lock(gReportLock);
        std::printf("pattern %08X, %d digits: %llu +- 1 both read back, %llu does not\n", bits,
                    count, static_cast<unsigned long long>(d), static_cast<unsigned long long>(d));
      }
    }
    if (up || down) {
      ++gOneNeighbour;
      return;
    }
  }
}

void Work(uint64_t stride, std::atomic<uint64_t>& nextChunk, std::atomic<uint64_t>& searched) {
  LoadArithmeticSetting();
  uint64_t steps = (kFinite - 1 + stride - 1) / stride;
  uint64_t done = 0;
  for (;;) {
    uint64_t first = nextChunk.fetch_add(1) * kChunk;
    if (first >= steps) break;
    uint64_t last = first + kChunk < steps ? first + kChunk : steps;
    for (uint64_t i = first; i < last; ++i) Search(static_cast<uint32_t>(1 + i * stride));
    done += last - first;
  }
  searched += done;
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t stride = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
  unsigned threads = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 2;
  if (stride == 0 || threads == 0) {
    std::fprintf(stderr, "usage: %s [stride >= 1 [threads >= 1]]\n", argv[0]);
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  std::atomic<uint64_t> nextChunk{0}, searched{0};
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t)
    pool.emplace_back(Work, stride, std::ref(nextChunk), std::ref(searched));
  for (auto& thread : pool) thread.join();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf(
      "%llu positive floats (stride %llu, %u threads) in %.1f s: a neighbour read back where "
      "the nearest did not for %llu, both neighbours for %llu\n",
      static_cast<unsigned long long>(searched.load()), static_cast<unsigned long long>(stride),
      threads, seconds, static_cast<unsigned long long>(gOneNeighbour.load()),
      static_cast<unsigned long long>(gBoth.load()));
  return gBoth.load() == 0 ? 0 : 1;
}
