#include "app/options.h"

#include <string_view>

#include "runtime/core/io_status.h"
#include "runtime/core/stop.h"
#include "runtime/number/fixed_text.h"
#include "runtime/stream/error_line.h"

namespace {

enum class Kind : uint8_t { kFlag, kSeed, kFile, kAnswer, kPlanner, kTrace };

// Which programs take an option: every one, one that asks the dialogue's questions, or one
// that plans a budget (ProgramDescription).
enum class Takes : uint8_t { kEvery, kDialogue, kPlanner };

struct OptionRow {
  std::string_view name;
  Kind kind;
  bool Options::*flag;  // kFlag
  int answer;           // kAnswer: the question, 1..3
  Takes takes;
  PlannerOption planner;  // kPlanner
};

constexpr PlannerOption kNone = PlannerOption::kBudget;

constexpr OptionRow kOptionTable[] = {
    {"--help", Kind::kFlag, &Options::help, 0, Takes::kEvery, kNone},
    {"-h", Kind::kFlag, &Options::help, 0, Takes::kEvery, kNone},
    {"--version", Kind::kFlag, &Options::version, 0, Takes::kEvery, kNone},
    {"--seed", Kind::kSeed, nullptr, 0, Takes::kDialogue, kNone},
    {"--show-seed", Kind::kFlag, &Options::showSeed, 0, Takes::kDialogue, kNone},
    {"--file", Kind::kFile, nullptr, 0, Takes::kEvery, kNone},
    {"--individuals", Kind::kAnswer, nullptr, 1, Takes::kDialogue, kNone},
    {"--iterations", Kind::kAnswer, nullptr, 2, Takes::kDialogue, kNone},
    {"--amplitude", Kind::kAnswer, nullptr, 3, Takes::kDialogue, kNone},
    {"--no-wait", Kind::kFlag, &Options::noWait, 0, Takes::kDialogue, kNone},
    {"--csv", Kind::kFlag, &Options::csv, 0, Takes::kEvery, kNone},
    {"--optimum", Kind::kFlag, &Options::optimum, 0, Takes::kDialogue, kNone},
    {"--budget", Kind::kPlanner, nullptr, 0, Takes::kPlanner, PlannerOption::kBudget},
    {"--min", Kind::kPlanner, nullptr, 0, Takes::kPlanner, PlannerOption::kMin},
    {"--max", Kind::kPlanner, nullptr, 0, Takes::kPlanner, PlannerOption::kMax},
    {"--lock", Kind::kPlanner, nullptr, 0, Takes::kPlanner, PlannerOption::kLock},
    {"--current", Kind::kPlanner, nullptr, 0, Takes::kPlanner, PlannerOption::kCurrent},
    {"--frontier", Kind::kFlag, &Options::frontier, 0, Takes::kPlanner, kNone},
    {"--trace", Kind::kTrace, nullptr, 0, Takes::kDialogue, kNone},
};

// The line of a bad command line; only the first fault is kept, and it is written only
// when neither --help nor --version is asked for.
class Complaint {
 public:
  explicit Complaint(const ProgramDescription& program) : program_(program) {}

  // Starts the line, unless one was started before: then the pieces that follow go
  // nowhere.
  Complaint& Begin() {
    keep_ = !started_;
    started_ = true;
    if (keep_) line_.Add(program_.name).Add(": ");
    return *this;
  }

  // The line says it all: no pointer to --help.
  Complaint& WithoutHint() {
    if (keep_) hint_ = false;
    return *this;
  }

  Complaint& Add(std::string_view text) {
    if (keep_) line_.Add(text);
    return *this;
  }

  // An argument as the user gave it, quoted (WordsLine::Quoted), its first 40 bytes.
  Complaint& Quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    if (keep_) line_.Quoted(text.substr(0, kShown), text.size() > kShown);
    return *this;
  }

  bool Started() const { return started_; }

  // Writes the line and ends the run with 64: no report line, as nothing has run.
  [[noreturn]] void Stop() {
    if (hint_) line_.Add(" (").Add(program_.name).Add(" --help lists the options)");
    WriteErrorLine(line_.View());
    EndRunWithStatus(kUsageStatus);
  }

 private:
  const ProgramDescription& program_;
  WordsLine line_;
  bool started_ = false;
  bool keep_ = false;
  bool hint_ = true;
};

// A whole number from 0 to 4294967295 in plain decimal digits, nothing else.
bool ReadSeed(std::string_view text, uint32_t& seed) {
  if (text.empty()) return false;
  uint64_t value = 0;
  for (char c : text) {
    if (static_cast<unsigned>(c - '0') >= 10) return false;
    value = value * 10 + static_cast<uint64_t>(c - '0');
    if (value > 0xFFFFFFFFu) return false;
  }
  seed = static_cast<uint32_t>(value);
  return true;
}

// An answer must hold a token; blanks and line ends alone are no value.
bool HoldsToken(std::string_view text) {
  for (char c : text) {
    if (static_cast<uint8_t>(c) > 0x20) return true;
  }
  return false;
}

const OptionRow* FindOption(std::string_view name) {
  for (const OptionRow& row : kOptionTable) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

bool IsTakenBy(const OptionRow& row, const ProgramDescription& program) {
  switch (row.takes) {
    case Takes::kEvery:
      return true;
    case Takes::kDialogue:
      return program.asksQuestions;
    case Takes::kPlanner:
      return program.plans;
  }
  return false;
}

void AddFault(Complaint& complaint, const PlannerFault& fault) {
  complaint.Begin();
  if (fault.option.empty()) {
    complaint.WithoutHint().Add(fault.why.View());
  } else {
    complaint.Add(fault.option).Add(" ").Quoted(fault.value).Add(": ").Add(fault.why.View());
  }
}

}  // namespace

Options ReadOptions(int argc, char** argv, const ProgramDescription& program) {
  Options options;
  Complaint complaint(program);
  for (int i = 1; i < argc; ++i) {
    std::string_view word = argv[i];
    // "--" ends the options, as for every Unix tool; the words after it are plain words.
    if (word == "--") break;
    if (!word.starts_with('-')) continue;
    // 1. The name, and a value after "=" in the same word.
    size_t equals = word.starts_with("--") ? word.find('=') : std::string_view::npos;
    std::string_view name = word.substr(0, equals);
    const OptionRow* row = FindOption(name);
    if (row != nullptr && row->takes == Takes::kPlanner && !program.plans) {
      // The search has no place for a budget's bounds without changing what it is.
      complaint.Begin().Add(name).Add(" is an option of allocate-optimum, not of the search: ");
      complaint.Add("use allocate-optimum ").Add(name);
      continue;
    }
    if (row == nullptr || !IsTakenBy(*row, program)) {
      complaint.Begin().Add("unknown option ").Quoted(name);
      continue;
    }
    if (row->kind == Kind::kFlag) {
      if (equals != std::string_view::npos) {
        complaint.Begin().Add("option ").Add(name).Add(" takes no value");
        continue;
      }
      options.*(row->flag) = true;
      continue;
    }
    // 2. The value: after "=", or the next argument.
    const char* value = nullptr;
    if (equals != std::string_view::npos) {
      value = argv[i] + equals + 1;
    } else if (i + 1 < argc) {
      value = argv[++i];
    }
    if (value == nullptr || *value == '\0') {
      complaint.Begin().Add("option ").Add(name).Add(" needs a value");
      continue;
    }
    // 3. The value by its kind.
    switch (row->kind) {
      case Kind::kSeed:
        if (ReadSeed(value, options.seed)) {
          options.seedGiven = true;
        } else {
          complaint.Begin().Add("--seed ").Quoted(value).Add(
              " is not a whole number from 0 to 4294967295");
        }
        break;
      case Kind::kFile:
        // A longer name would be cut where the I/O record keeps it, and a stop would name
        // another file.
        if (std::string_view(value).size() > static_cast<size_t>(kNameLimit)) {
          complaint.Begin().Add("--file ").Quoted(value).Add(" is longer than 259 bytes");
        } else {
          options.file = value;
        }
        break;
      case Kind::kAnswer:
        if (HoldsToken(value)) {
          options.answers[row->answer] = value;
        } else {
          complaint.Begin().Add("option ").Add(name).Add(" needs a value");
        }
        break;
      case Kind::kTrace:
        options.trace = value;
        break;
      case Kind::kPlanner: {
        PlannerFault fault;
        if (!ReadPlannerValue(options.planner, row->planner, name, value, fault))
          AddFault(complaint, fault);
        break;
      }
      case Kind::kFlag:
        break;
    }
  }
  options.planner.frontier = options.frontier;
  // The values that depend on one another, once every one is read.
  if (!complaint.Started() && program.plans) {
    PlannerFault fault;
    if (!CheckPlanner(options.planner, fault)) AddFault(complaint, fault);
  }
  if (complaint.Started() && !options.help && !options.version) complaint.Stop();
  return options;
}
