// Every float bit pattern through the two number layouts of the report, FormatReal(x, 7, 3)
// and FormatReal(x, 5, 3), checked against exact arithmetic:
//   |x| < 16          the text equals the exact 128-bit rounding (exact_decimal.h);
//   16 <= |x| < 2^120 the fixed form reads back within one unit of the last place it can
//                     show, and every place below the digit string is "0";
//   |x| >= 2^120      the exponent form " d.dE+00ee", read back within one unit of its
//                     second digit;
//   NaN, infinities   "Nan", "+Inf", "-Inf".
//
// Usage: format_real_exhaustive [stride [threads]]. Stride 1 checks all 2^32 patterns;
// a larger stride checks every stride-th one (the quick run of the normal test suite).

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/stop_words.h"
#include "exact_decimal.h"
#include "runtime/arith/extended.h"
#include "runtime/number/format.h"
#include "runtime/program/program.h"

namespace {

constexpr uint64_t kPatterns = uint64_t{1} << 32;
constexpr uint64_t kChunk = uint64_t{1} << 16;  // patterns per unit of work
constexpr uint32_t kTwoTo120 = 0x7B800000;      // float bits of 2^120

std::mutex gReportLock;
std::atomic<uint64_t> gFailures{0};  // failing patterns
std::atomic<uint64_t> gReports{0};

void Report(uint32_t bits, int width, std::string_view got, const std::string& why) {
  if (gReports.fetch_add(1) >= 20) return;
  std::lock_guard<std::mutex> lock(gReportLock);
  std::printf("pattern %08X width %d: got \"%.*s\": %s\n", bits, width,
              static_cast<int>(got.size()), got.data(), why.c_str());
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "[-]ddd.ddd" with no leading zero unless the integer part is 0, the minus sign exactly
// when the sign bit is set. Collects the digits and the count of integer digits.
bool ParseFixed(std::string_view text, bool negative, std::string& digits, int& integerDigits) {
  size_t at = 0;
  if (negative) {
    if (text.empty() || text[0] != '-') return false;
    at = 1;
  }
  size_t point = text.find('.');
  if (point == std::string_view::npos || point == at || text.size() - point != 4) return false;
  if (text[at] == '0' && point - at > 1) return false;
  digits.clear();
  for (size_t i = at; i < text.size(); ++i) {
    if (i == point) continue;
    if (!IsDigit(text[i])) return false;
    digits += text[i];
  }
  integerDigits = static_cast<int>(point - at);
  return true;
}

std::string CheckFixed(std::string_view text, const exact::FloatFields& f) {
  std::string digits;
  int integerDigits = 0;
  if (!ParseFixed(text, f.negative, digits, integerDigits)) return "not the fixed form [-]d.ddd";
  // The digit string holds the places from the tens of m = |x| / 10^k down to 10^(k-17),
  // with 10 <= |x| < 16 at k = 0 or 1 <= m < 16 otherwise, so k is K or K - 1 for
  // K = floor(log10 |x|): the last place shown is at most 10^(K-17), and nothing below
  // 10^(K-18) may be other than "0".
  int K = exact::DecimalMagnitude<4>(f.binary);
  int unit = K - 17 > -3 ? K - 17 : -3;
  int lowestNonZero = K - 18;
  for (int i = 0; i < static_cast<int>(digits.size()); ++i) {
    int place = integerDigits - 1 - i;
    if (place < lowestNonZero && digits[i] != '0') return "a digit below the 19-digit string";
  }
  exact::Decimal decimal{digits.data(), static_cast<int>(digits.size()), -3};
  if (!exact::WithinUnit<4>(decimal, f.binary, unit))
    return "reads back further than 10^" + std::to_string(unit) + " from the value";
  return "";
}

// " d.dE+00ee" or "-d.dE+00ee": two significant digits, exponent in four digits.
std::string CheckExponentForm(std::string_view text, const exact::FloatFields& f) {
  if (text.size() != 10) return "exponent form not 10 characters long";
  if (text[0] != (f.negative ? '-' : ' ')) return "wrong sign position";
  if (text[1] < '1' || text[1] > '9' || text[2] != '.' || !IsDigit(text[3]) || text[4] != 'E' ||
      text[5] != '+' || !IsDigit(text[6]) || !IsDigit(text[7]) || !IsDigit(text[8]) ||
      !IsDigit(text[9]))
    return "not the form d.dE+dddd";
  int e = (text[6] - '0') * 1000 + (text[7] - '0') * 100 + (text[8] - '0') * 10 + (text[9] - '0');
  char digits[2] = {text[1], text[3]};
  exact::Decimal decimal{digits, 2, e - 1};
  if (!exact::WithinUnit<4>(decimal, f.binary, e - 1))
    return "reads back further than one unit of its last digit";
  return "";
}

std::string Expected(uint32_t bits, std::string_view text) {
  exact::FloatFields f = exact::FieldsOfFloat(bits);
  uint32_t magnitude = bits & 0x7FFFFFFF;
  if (f.special) {
    std::string_view want = (bits & 0x7FFFFF) != 0 ? "Nan" : f.negative ? "-Inf" : "+Inf";
    return text == want ? "" : "expected " + std::string(want);
  }
  if (magnitude < 0x41800000) {  // below 16
    std::string want = exact::FixedThreeDecimals(bits);
    return text == want ? "" : "expected " + want;
  }
  if (magnitude < kTwoTo120) return CheckFixed(text, f);
  return CheckExponentForm(text, f);
}

// The float widened to extended without arithmetic: widening a signalling NaN with the
// x87 would be an invalid operation and stop the run before FormatReal sees it.
Extended Widen(uint32_t bits) {
  if ((bits & 0x7F800000) != 0x7F800000) {
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return Extended(x);
  }
  uint64_t significand = uint64_t{1} << 63 | uint64_t{bits & 0x7FFFFF} << 40;
  return Extended::FromFields((bits >> 31) != 0, 0x7FFF, significand);
}

bool CheckPattern(uint32_t bits) {
  Extended x = Widen(bits);
  NumberText wide = FormatReal(x, 7, 3);
  NumberText narrow = FormatReal(x, 5, 3);
  std::string why = Expected(bits, wide.View());
  if (!why.empty()) Report(bits, 7, wide.View(), why);
  // Both widths give fewer than 8 significant digits in the exponent form, so the texts
  // (before the writer's padding) are the same.
  if (narrow.View() != wide.View()) Report(bits, 5, narrow.View(), "differs from width 7");
  return why.empty() && narrow.View() == wide.View();
}

void Work(uint64_t stride, std::atomic<uint64_t>& nextChunk, std::atomic<uint64_t>& checked) {
  LoadArithmeticSetting();
  uint64_t steps = (kPatterns + stride - 1) / stride;
  uint64_t done = 0;
  for (;;) {
    uint64_t first = nextChunk.fetch_add(1) * kChunk;
    if (first >= steps) break;
    uint64_t last = first + kChunk < steps ? first + kChunk : steps;
    for (uint64_t i = first; i < last; ++i)
      if (!CheckPattern(static_cast<uint32_t>(i * stride))) ++gFailures;
    done += last - first;
  }
  checked += done;
}

}  // namespace

int main(int argc, char** argv) {
  StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords});
  uint64_t stride = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 1;
  unsigned threads = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 2;
  if (stride == 0 || threads == 0) {
    std::fprintf(stderr, "usage: %s [stride >= 1 [threads >= 1]]\n", argv[0]);
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  std::atomic<uint64_t> nextChunk{0}, checked{0};
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t)
    pool.emplace_back(Work, stride, std::ref(nextChunk), std::ref(checked));
  for (auto& thread : pool) thread.join();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  uint64_t failed = gFailures.load();
  std::printf(
      "FormatReal(x, 7, 3) and (x, 5, 3) over %llu float patterns (stride %llu, %u threads) in "
      "%.1f s\n",
      static_cast<unsigned long long>(checked.load()), static_cast<unsigned long long>(stride),
      threads, seconds);
  std::printf("exhaustive: %llu passed, %llu failed\n",
              static_cast<unsigned long long>(checked.load() - failed),
              static_cast<unsigned long long>(failed));
  return failed == 0 ? 0 : 1;
}
