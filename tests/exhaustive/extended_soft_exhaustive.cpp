// SoftExtended against the x87 unit on long runs, and the capture of x87 outcomes that
// lets processors without an x87 unit check SoftExtended too.
//
// Usage:
//   extended_soft_exhaustive random N [threads]   N random operands per operation
//   extended_soft_exhaustive floats S [threads]   every S-th float pattern (S = 1: all 2^32)
//                                                 through float -> extended -> float
//   extended_soft_exhaustive capture              prints extended_soft_x87_outcomes.h
// Exit status 0 when no case differs.

#include <atomic>
#include <cfenv>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "extended_cases.h"
#include "runtime/arith/extended_soft.h"
#include "runtime/arith/extended_x87.h"

namespace {

using namespace extended_cases;
using X87 = X87Extended;

std::mutex gReportLock;
std::atomic<uint64_t> gDifferences{0};

// The program's setting (precision 64, nearest) with the three faults masked, so the x87
// records them in its status word; every thread starts from the system's default.
void LoadMaskedSetting() {
  std::fesetenv(FE_DFL_ENV);
  fedisableexcept(FE_ALL_EXCEPT);
  std::feclearexcept(FE_ALL_EXCEPT);
  SoftExtended::ClearFaults();
}

void Check(Op op, const Operands& in) {
  Outcome x87 = extended_cases::Run<X87>(op, in, TakeX87Faults);
  Outcome soft = extended_cases::Run<SoftExtended>(op, in, TakeSoftFaults);
  if (soft == x87) return;
  if (gDifferences.fetch_add(1) >= 20) return;
  std::lock_guard<std::mutex> lock(gReportLock);
  std::printf("%s\n  soft %s\n  x87  %s\n", Describe(op, in).c_str(), Describe(soft).c_str(),
              Describe(x87).c_str());
}

template <typename Work>
void OnThreads(int threads, Work work) {
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t) {
    pool.emplace_back([&work, t] {
      LoadMaskedSetting();
      work(t);
    });
  }
  for (std::thread& thread : pool) thread.join();
}

int RandomRun(uint64_t perOperation, int threads) {
  for (Op op : kEveryOp) {
    if (op == Op::kFloatThrough) continue;  // the float run covers it
    uint64_t before = gDifferences.load();
    OnThreads(threads, [&](int t) {
      RandomOperands source(0xE7E7E7E700000000 + 1000 * static_cast<uint64_t>(op) + t);
      for (uint64_t i = t; i < perOperation; i += threads) Check(op, source.Draw(op));
    });
    std::printf("%-22s %" PRIu64 " random operands, %" PRIu64 " differences\n", Name(op),
                perOperation, gDifferences.load() - before);
  }
  return gDifferences.load() == 0 ? 0 : 1;
}

int FloatRun(uint64_t stride, int threads) {
  constexpr uint64_t kPatterns = uint64_t{1} << 32;
  std::atomic<uint64_t> checked{0};
  OnThreads(threads, [&](int t) {
    uint64_t count = 0;
    for (uint64_t bits = t * stride; bits < kPatterns; bits += stride * threads, ++count) {
      Check(Op::kFloatThrough, {{}, {}, bits});
    }
    checked += count;
  });
  std::printf("%" PRIu64 " float patterns through float -> extended -> float, %" PRIu64
              " differences\n",
              checked.load(), gDifferences.load());
  return gDifferences.load() == 0 ? 0 : 1;
}

// The x87 outcomes as a header: every edge case of the one-operand operations in full, and
// a fingerprint per operation of its edge cases and of kCapturedDraws random draws.
constexpr int kCapturedDraws = 20000;

int Capture() {
  LoadMaskedSetting();
  std::printf(
      "// x87 outcomes of the extended-type cases, captured on x86-64 by\n"
      "// `extended_soft_exhaustive capture` (tests/exhaustive); regenerate with it when the\n"
      "// cases change. Rows: operation, case index, result bits, other bits, faults.\n"
      "#pragma once\n\n#include \"extended_cases.h\"\n\n"
      "namespace extended_cases {\n\n"
      "inline constexpr int kCapturedDraws = %d;\n"
      "inline constexpr uint64_t kCapturedSeed = 0xCA97;\n\n"
      "struct CapturedOutcome {\n  Op op;\n  int index;\n  Outcome outcome;\n};\n\n"
      "inline const CapturedOutcome kCapturedOutcomes[] = {\n",
      kCapturedDraws);
  std::string fingerprints;
  for (Op op : kEveryOp) {
    std::vector<Operands> cases = EdgeCases(op);
    uint64_t edges = kDigestStart, draws = kDigestStart;
    for (size_t i = 0; i < cases.size(); ++i) {
      Outcome out = extended_cases::Run<X87>(op, cases[i], TakeX87Faults);
      edges = Digest(edges, out);
      if (IsBinary(op) || HasThreeSources(op)) continue;
      std::printf("    {Op(%d), %zu, {{0x%04X, 0x%016" PRIX64 "}, 0x%" PRIX64 ", 0x%X}},\n",
                  static_cast<int>(op), i, out.result.signExponent, out.result.significand,
                  out.other, out.faults);
    }
    RandomOperands source(0xCA97);
    for (int i = 0; i < kCapturedDraws; ++i) {
      draws = Digest(draws, extended_cases::Run<X87>(op, source.Draw(op), TakeX87Faults));
    }
    char line[120];
    std::snprintf(line, sizeof line, "    {Op(%d), 0x%016" PRIX64 ", 0x%016" PRIX64 "},\n",
                  static_cast<int>(op), edges, draws);
    fingerprints += line;
  }
  std::printf(
      "};\n\n"
      "// Per operation: the digest of every edge case's outcome, then of the random draws.\n"
      "struct CapturedFingerprint {\n  Op op;\n  uint64_t edges;\n  uint64_t draws;\n};\n\n"
      "inline constexpr CapturedFingerprint kCapturedFingerprints[] = {\n%s};\n\n"
      "}  // namespace extended_cases\n",
      fingerprints.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  uint64_t count = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 0;
  int threads = argc > 3 ? std::atoi(argv[3]) : 2;
  if (threads < 1) threads = 1;
  if (mode == "random" && count > 0) return RandomRun(count, threads);
  if (mode == "floats" && count > 0) return FloatRun(count, threads);
  if (mode == "capture") return Capture();
  std::fprintf(stderr,
               "usage: extended_soft_exhaustive random N | floats STRIDE [threads] | capture\n");
  return 2;
}
