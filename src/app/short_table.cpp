#include "app/short_table.h"

#include <string_view>

#include "runtime/checked.h"
#include "runtime/format.h"
#include "runtime/platform.h"

namespace {

constexpr int kTableNumbers = 80;

// The line under construction. Bytes beyond its area are dropped; room for the line end
// always stays free.
class Notice {
 public:
  Notice& Add(std::string_view text) {
    for (char c : text) {
      if (length_ + kRoomForLineEnd < text_.kSize) text_[length_++] = c;
    }
    return *this;
  }

  Notice& Number(int32_t value) {
    NumberText digits = FormatInteger(value);
    return Add(digits.View());
  }

  void Write() {
    for (const char* end = kPlatformLineEnd; *end != '\0'; ++end) text_[length_++] = *end;
    PlatformWriteErrorStream(text_.Range(0, length_), static_cast<size_t>(length_));
  }

 private:
  static constexpr int kRoomForLineEnd = 2;
  CheckedArray<char, 0, 383> text_;
  int length_ = 0;
};

}  // namespace

void NoteShortTable(const char* fileName, int numbers) {
  if (numbers >= kTableNumbers) return;
  int missing = kTableNumbers - numbers;
  Notice line;
  line.Add("allocate: ").Add(fileName);
  if (numbers == 0) {
    line.Add(" holds no numbers; all 80 entries are taken as 0");
  } else {
    line.Add(" holds ").Number(numbers).Add(numbers == 1 ? " number" : " numbers");
    if (missing == 1) {
      line.Add("; the other entry is taken as 0");
    } else {
      line.Add("; the other ").Number(missing).Add(" entries are taken as 0");
    }
  }
  line.Write();
}
