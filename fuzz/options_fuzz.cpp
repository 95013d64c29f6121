// Arbitrary command lines into ReadOptions. First byte: bit 0 set for allocate-optimum's
// options, clear for allocate's; the rest is the arguments after the program's name, each
// ended by a NUL byte (the last one by the end of the input).
//
// Every command line ends in one of three ways: help (--help, -h or --version asked for),
// a run with options that hold together, or a stop with status 64 and exactly one line on
// standard error, nothing on standard output. The stop's line names the program, shows
// every byte a terminal would act on (and every byte above 0x7E) as \xHH, and ends with
// the pointer to --help.

#include <string>
#include <string_view>
#include <vector>

#include "app/options.h"
#include "harness.h"
#include "runtime/platform/platform.h"
#include "runtime/stream/text_input.h"

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

}  // namespace

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
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  ResetProgram({});
  Options options;
  Outcome outcome =
      Run([&] { options = ReadOptions(static_cast<int>(words.size()), argv.data(), program); });
  Require(outcome.kind != Outcome::kTrapped, "reading the options trapped");
  if (outcome.kind == Outcome::kStopped) {
    Require(outcome.exitCode == kUsageStatus, "a bad command line stopped with another status");
    CheckStop(program.name);
    return 0;
  }
  if (options.help || options.version) {
    Require(RecordedErrors().empty(), "help asked for, and a complaint written");
    return 0;
  }
  CheckRun(options, program);
  return 0;
}
