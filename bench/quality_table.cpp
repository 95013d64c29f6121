// How far the genetic search ends from the exact best allocation: for each family of
// tables and each seed, one table and one run of the search in-process at the
// dialogue's suggested settings and at the largest, then the median and the worst
// shortfall of the population's best profit from the optimum, in percent of it.
// Built with the benchmarks, never run by ctest.
//
//   ./build/bench/quality_table [seeds]      (default 200 seeds per family)
//
// Each run is made in a child process: a run the search cannot go on with stops the
// child (with the search's own stop), is counted in the table, and the rest goes on.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/stop_words.h"
#include "model/profit_table.h"
#include "runtime/core/random.h"
#include "runtime/program/program.h"
#include "search/optimum.h"
#include "search/population.h"

namespace {

using Curve = float (*)(std::mt19937& gen, int k, float x);

float Uniform(std::mt19937& gen, float low, float high) {
  return std::uniform_real_distribution<float>(low, high)(gen);
}

// Each curve draws its parameters per project at x = 0 and keeps them for the row.
struct Parameters {
  float a, b, c;
};
Parameters gRow;

float Concave(std::mt19937& gen, int, float x) {
  if (x == 0) gRow = {Uniform(gen, 10, 50), Uniform(gen, 1, 6), 0};
  return gRow.a * (1 - std::exp(-gRow.b * x));
}

float Linear(std::mt19937& gen, int, float x) {
  if (x == 0) gRow = {Uniform(gen, 1, 10), 0, 0};
  return gRow.a * x;
}

// A logistic step of height a centred at b, from 0 at x = 0.
float SShaped(std::mt19937& gen, int, float x) {
  if (x == 0) gRow = {Uniform(gen, 10, 50), Uniform(gen, 0.2f, 0.6f), 0};
  auto step = [](float at) { return 1 / (1 + std::exp(-12 * (at - gRow.b))); };
  return gRow.a * (step(x) - step(0));
}

// Nothing at 0; from the first ninth on a concave return less a fixed cost c, which the
// first ninth does not earn back.
float FixedCost(std::mt19937& gen, int, float x) {
  if (x == 0) gRow = {Uniform(gen, 10, 50), 3, Uniform(gen, 0.3f, 0.4f)};
  if (x == 0) return 0;
  return gRow.a * (1 - std::exp(-gRow.b * x) - gRow.c);
}

// Project 1 returns ten times as much as the others.
float Dominant(std::mt19937& gen, int k, float x) {
  if (x == 0) gRow = {Uniform(gen, 5, 15) * (k == 1 ? 10 : 1), Uniform(gen, 1, 6), 0};
  return gRow.a * (1 - std::exp(-gRow.b * x));
}

// Every entry on its own, neither rising nor smooth.
float Scattered(std::mt19937& gen, int, float) { return Uniform(gen, 0, 50); }

struct Family {
  const char* name;
  Curve curve;
};
const Family kFamilies[] = {{"concave", Concave},       {"linear", Linear},
                            {"S-shaped", SShaped},      {"fixed cost", FixedCost},
                            {"one dominant", Dominant}, {"random", Scattered}};

struct Setting {
  uint8_t count;
  uint16_t iterations;
  float amplitude;
};
const Setting kSettings[] = {{10, 1000, 0.01f}, {20, 65535, 0.01f}};

ProfitTable gTable;
Population gPopulation;

void MakeTable(const Family& family, uint32_t seed) {
  std::mt19937 gen(seed);
  for (int k = 1; k <= 8; ++k)
    for (int j = 0; j <= 9; ++j) gTable.entries[k][j] = family.curve(gen, k, j / 9.0f);
}

struct RunResult {
  float best;  // the population's best profit at the end
  int stop;    // 0, or the exit status of a run that stopped
};

RunResult Search(const Setting& setting, uint32_t seed) {
  int channel[2];
  if (pipe(channel) != 0) std::abort();
  std::fflush(stdout);
  pid_t child = fork();
  if (child < 0) std::abort();
  if (child == 0) {
    close(channel[0]);
    // A stop's report line goes nowhere; its exit status tells.
    dup2(open("/dev/null", O_WRONLY), 1);
    gRandomSeed = seed;
    gPopulation.Setup(gTable, setting.count, setting.amplitude);
    for (uint32_t i = 0; i < setting.iterations; ++i) gPopulation.Step();
    float best = gPopulation.BestProfit();
    _exit(write(channel[1], &best, sizeof best) == sizeof best ? 0 : 1);
  }
  close(channel[1]);
  float best = NAN;
  bool got = read(channel[0], &best, sizeof best) == sizeof best;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  int stop = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return {best, got && stop == 0 ? 0 : std::max(stop, 1)};
}

struct Summary {
  double median, worst, least;
  std::vector<std::pair<int, int>> stops;  // seed and exit status of each stopped run
};

Summary Measure(const Family& family, const Setting& setting, int seeds) {
  std::vector<double> shortfalls;
  Summary summary{NAN, NAN, NAN, {}};
  for (int seed = 1; seed <= seeds; ++seed) {
    MakeTable(family, static_cast<uint32_t>(seed));
    float optimum = gTable.TotalProfit(SharesOf(BestNinths(gTable)));
    RunResult run = Search(setting, static_cast<uint32_t>(seed));
    if (run.stop != 0) {
      summary.stops.emplace_back(seed, run.stop);
      continue;
    }
    shortfalls.push_back(100.0 * (optimum - run.best) / std::fabs(optimum));
  }
  if (shortfalls.empty()) return summary;
  std::sort(shortfalls.begin(), shortfalls.end());
  size_t n = shortfalls.size();
  summary.median = n % 2 ? shortfalls[n / 2] : (shortfalls[n / 2 - 1] + shortfalls[n / 2]) / 2;
  summary.worst = shortfalls.back();
  summary.least = shortfalls.front();
  return summary;
}

}  // namespace

int main(int argc, char** argv) {
  StartUp({"allocate", NumberPlace, OwnAccount, ActivityWords});
  int seeds = argc > 1 ? std::atoi(argv[1]) : 200;
  if (seeds < 1) return 2;
  std::printf("Shortfall from the exact optimum in percent, %d tables per family\n\n", seeds);
  std::printf("| Tables | 10, 1000, 0.01: median | worst | 20, 65535, 0.01: median | worst |\n");
  std::printf("|---|---:|---:|---:|---:|\n");
  std::string notes;
  for (const Family& family : kFamilies) {
    std::printf("| %s |", family.name);
    for (const Setting& setting : kSettings) {
      Summary s = Measure(family, setting, seeds);
      // A result above the optimum by rounding of the last bits shows as 0, not -0.00;
      // one beyond that is noted below.
      std::printf(" %.2f | %.2f |", std::fmax(s.median, 0.0), std::fmax(s.worst, 0.0));
      std::fflush(stdout);
      char label[64], note[128];
      std::snprintf(label, sizeof label, "%s at %u, %u, %g", family.name, setting.count,
                    setting.iterations, setting.amplitude);
      if (s.least < -0.001) {
        std::snprintf(note, sizeof note, "%s: the search beat the optimum by %.4f %%\n", label,
                      -s.least);
        notes += note;
      }
      for (auto [seed, status] : s.stops) {
        std::snprintf(note, sizeof note, "%s: the search stopped (exit %d) on seed %d\n", label,
                      status, seed);
        notes += note;
      }
    }
    std::printf("\n");
  }
  // Stopped runs have no result and are left out of the figures.
  std::printf("\nNotes: %s%s", notes.empty() ? "none\n" : "\n", notes.c_str());
  std::fflush(stdout);
  EndProgram();
}
