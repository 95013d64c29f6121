// Arbitrary command lines into ReadOptions. First byte: bit 0 set for allocate-optimum's
// options, clear for allocate's; the rest is the arguments after the program's name, each
// ended by a NUL byte (the last one by the end of the input).
//
// Every command line ends in one of three ways: help (--help, -h or --version asked for),
// a run with options that hold together, or a stop with status 64 and exactly one line on
// standard error, nothing on standard output. The stop's line names the program, shows
// every byte a terminal would act on (and every byte above 0x7E) as \xHH, and ends with
// the pointer to --help. Words after "--" change nothing.

#include <string>
#include <string_view>
#include <vector>

#include "app/options.h"
#include "harness.h"
#include "runtime/core/io_status.h"
#include "runtime/platform/platform.h"

namespace {

constexpr size_t kMostArguments = 64;

// Whether every byte of the line shows as itself: plain ASCII, no control byte, no DEL.
bool Printable(std::string_view line) {
  for (char c : line) {
    auto b = static_cast<uint8_t>(c);
    if (b < 0x20 || b >= 0x7F) return false;
  }
  return true;
}

void CheckStop(std::string_view name) {
  Require(RecordedOutput().empty(), "a bad command line wrote to standard output");
  std::string_view errors = RecordedErrors();
  std::string_view end = kPlatformLineEnd;
  Require(errors.size() > end.size() && errors.ends_with(end),
          "a bad command line's line on standard error does not end its line");
  std::string_view line = errors.substr(0, errors.size() - end.size());
  Require(Printable(line), "a bad command line's line holds a byte a terminal would act on");
  Require(line.starts_with(std::string(name) + ": "),
          "a bad command line's line does not start with the program's name");
  Require(line.ends_with(" (" + std::string(name) + " --help lists the options)"),
          "a bad command line's line does not point to --help");
}

void CheckRun(const Options& options, const ProgramDescription& program) {
  Require(RecordedErrors().empty() && RecordedOutput().empty(),
          "a good command line wrote something");
  if (options.file != nullptr) {
    std::string_view file = options.file;
    Require(!file.empty() && file.size() <= static_cast<size_t>(kNameLimit),
            "a --file name that is empty or longer than 259 bytes taken");
  }
  for (int question = 1; question <= 3; ++question) {
    const char* answer = options.answers[question];
    if (answer == nullptr) continue;
    Require(program.asksQuestions, "allocate-optimum took an answer");
    bool token = false;
    for (const char* c = answer; *c != '\0'; ++c) token = token || static_cast<uint8_t>(*c) > 0x20;
    Require(token, "an answer without a token taken");
  }
  if (!program.asksQuestions)
    Require(!options.seedGiven && !options.showSeed && !options.noWait,
            "allocate-optimum took an option of allocate's");
}

// What one reading of a command line came to.
struct Reading {
  Outcome outcome;
  Options options;
  std::string errors;
};

// The options point into words, which must outlive the reading.
Reading Read(std::vector<std::string>& words, const ProgramDescription& program) {
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  ResetProgram({});
  Reading r;
  r.outcome =
      Run([&] { r.options = ReadOptions(static_cast<int>(words.size()), argv.data(), program); });
  r.errors = RecordedErrors();
  return r;
}

bool SameOptions(const Options& a, const Options& b) {
  auto same = [](const char* x, const char* y) {
    return x == y || (x != nullptr && y != nullptr && std::string_view(x) == y);
  };
  for (int q = 1; q <= 3; ++q)
    if (!same(a.answers[q], b.answers[q])) return false;
  const PlannerOptions& p = a.planner;
  const PlannerOptions& q = b.planner;
  for (int k = 1; k <= 8; ++k)
    if (!same(p.minText[k], q.minText[k]) || !same(p.maxText[k], q.maxText[k])) return false;
  return a.help == b.help && a.version == b.version && a.seedGiven == b.seedGiven &&
         a.seed == b.seed && a.showSeed == b.showSeed && same(a.file, b.file) &&
         a.noWait == b.noWait && a.csv == b.csv && a.optimum == b.optimum &&
         a.frontier == b.frontier && p.budgetGiven == q.budgetGiven &&
         same(p.budgetText, q.budgetText) && p.currentGiven == q.currentGiven &&
         same(p.currentText, q.currentText) && p.frontier == q.frontier;
}

}  // namespace

// Bit 1 of the first byte: the command line, with a plain word after it (the value of an
// option still waiting for one), is read once more with "--" and the same words again
// after that, which must change nothing.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const ProgramDescription& program = (data[0] & 1) != 0 ? kAllocateOptimum : kAllocate;
  std::vector<std::string> words{program.name};
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  while (!rest.empty() && words.size() <= kMostArguments) {
    size_t end = rest.find('\0');
    words.emplace_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }

  Reading r = Read(words, program);
  Require(r.outcome.kind != Outcome::kTrapped, "reading the options trapped");
  if (r.outcome.kind == Outcome::kStopped) {
    Require(r.outcome.exitCode == kUsageStatus, "a bad command line stopped with another status");
    CheckStop(program.name);
  } else if (r.options.help || r.options.version) {
    Require(RecordedErrors().empty(), "help asked for, and a complaint written");
  } else {
    CheckRun(r.options, program);
  }

  if ((data[0] & 2) == 0) return 0;
  std::vector<std::string> plain = words;
  plain.push_back("x");
  std::vector<std::string> ended = plain;
  ended.push_back("--");
  ended.insert(ended.end(), words.begin() + 1, words.end());
  r = Read(plain, program);
  Reading e = Read(ended, program);
  Require(e.outcome.kind == r.outcome.kind && e.outcome.exitCode == r.outcome.exitCode &&
              e.errors == r.errors,
          "words after \"--\" changed how the command line ended");
  if (r.outcome.kind == Outcome::kReturned)
    Require(SameOptions(e.options, r.options), "words after \"--\" changed the options");
  return 0;
}
