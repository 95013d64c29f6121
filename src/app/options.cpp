#include "app/options.h"

#include <string_view>

#include "runtime/checked.h"
#include "runtime/fatal.h"
#include "runtime/platform.h"
#include "runtime/text_channel.h"

namespace {

enum class Kind : uint8_t { kFlag, kSeed, kFile, kAnswer };

struct OptionRow {
  std::string_view name;
  Kind kind;
  bool Options::*flag;  // kFlag
  int answer;           // kAnswer: the question, 1..3
  bool inOptimum;       // allocate-optimum takes it too
};

constexpr OptionRow kOptionTable[] = {
    {"--help", Kind::kFlag, &Options::help, 0, false},
    {"-h", Kind::kFlag, &Options::help, 0, false},
    {"--version", Kind::kFlag, &Options::version, 0, false},
    {"--seed", Kind::kSeed, nullptr, 0, false},
    {"--show-seed", Kind::kFlag, &Options::showSeed, 0, false},
    {"--file", Kind::kFile, nullptr, 0, true},
    {"--individuals", Kind::kAnswer, nullptr, 1, false},
    {"--iterations", Kind::kAnswer, nullptr, 2, false},
    {"--amplitude", Kind::kAnswer, nullptr, 3, false},
    {"--no-wait", Kind::kFlag, &Options::noWait, 0, false},
    {"--csv", Kind::kFlag, &Options::csv, 0, true},
};

// The line of a bad command line, built from pieces; bytes beyond its area are dropped.
class UsageLine {
 public:
  explicit UsageLine(OptionSet set) : set_(set) {
    Add(set == OptionSet::kOptimum ? "allocate-optimum: " : "allocate: ");
  }

  UsageLine& Add(std::string_view text) {
    for (char c : text) Put(c);
    return *this;
  }

  // An argument as the user gave it, in double quotes, its first 40 bytes; bytes that
  // would not show as themselves as \xHH.
  UsageLine& Quoted(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    constexpr size_t kShown = 40;
    Put('"');
    for (size_t i = 0; i < text.size() && i < kShown; ++i) {
      auto b = static_cast<uint8_t>(text[i]);
      if (b > 0x20 && b < 0x7F && b != '"' && b != '\\') {
        Put(static_cast<char>(b));
      } else {
        Add("\\x");
        Put(kHex[b >> 4]);
        Put(kHex[b & 0xF]);
      }
    }
    if (text.size() > kShown) Add("...");
    Put('"');
    return *this;
  }

  // Writes the line with the system's line end and ends the run with 64.
  [[noreturn]] void Stop() {
    Add(set_ == OptionSet::kOptimum ? " (it takes --file PATH and --csv)"
                                    : " (allocate --help lists the options)");
    for (const char* end = kPlatformLineEnd; *end != '\0'; ++end) text_[length_++] = *end;
    PlatformWriteErrorStream(text_.Range(0, length_), static_cast<size_t>(length_));
    gExitCode = kUsageStatus;
    EndProgram();
  }

 private:
  static constexpr int kRoomForLineEnd = 2;
  void Put(char c) {
    if (length_ + kRoomForLineEnd < text_.kSize) text_[length_++] = c;
  }

  OptionSet set_;
  CheckedArray<char, 0, 255> text_;
  int length_ = 0;
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

const OptionRow* FindOption(std::string_view name, OptionSet set) {
  for (const OptionRow& row : kOptionTable) {
    if (row.name == name && (set == OptionSet::kAllocate || row.inOptimum)) return &row;
  }
  return nullptr;
}

}  // namespace

Options ReadOptions(int argc, char** argv, OptionSet set) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string_view word = argv[i];
    if (!word.starts_with('-')) continue;
    // 1. The name, and a value after "=" in the same word.
    size_t equals = word.starts_with("--") ? word.find('=') : std::string_view::npos;
    std::string_view name = word.substr(0, equals);
    const OptionRow* row = FindOption(name, set);
    if (row == nullptr) UsageLine(set).Add("unknown option ").Quoted(name).Stop();
    if (row->kind == Kind::kFlag) {
      if (equals != std::string_view::npos)
        UsageLine(set).Add("option ").Add(name).Add(" takes no value").Stop();
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
    if (value == nullptr || *value == '\0')
      UsageLine(set).Add("option ").Add(name).Add(" needs a value").Stop();
    // 3. The value by its kind.
    switch (row->kind) {
      case Kind::kSeed:
        if (!ReadSeed(value, options.seed))
          UsageLine(set)
              .Add("--seed ")
              .Quoted(value)
              .Add(" is not a whole number from 0 to 4294967295")
              .Stop();
        options.seedGiven = true;
        break;
      case Kind::kFile:
        // A longer name would be cut where the channel stores it, and name another file.
        if (std::string_view(value).size() > static_cast<size_t>(kNameLimit))
          UsageLine(set).Add("--file ").Quoted(value).Add(" is longer than 259 bytes").Stop();
        options.file = value;
        break;
      case Kind::kAnswer:
        if (!HoldsToken(value))
          UsageLine(set).Add("option ").Add(name).Add(" needs a value").Stop();
        options.answers[row->answer] = value;
        break;
      case Kind::kFlag:
        break;
    }
  }
  return options;
}
