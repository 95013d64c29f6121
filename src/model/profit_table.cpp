#include "model/profit_table.h"

#include "model/progress.h"
#include "runtime/arith/extended.h"
#include "runtime/core/io_status.h"
#include "runtime/stream/text_input.h"

namespace {

// ProjectProfit without the final fwait: a fault of the x87 blend surfaces at the
// caller's checkpoint.
inline float Interpolate(const CheckedArray<float, 0, 9>& row, float x) {
  // 9x has at most 28 significant bits: exact in a double, and so is t - i.
  double t = static_cast<double>(x) * 9.0;
  int i = TruncateToByte(t);
  float f = static_cast<float>(t - i);
  // At level 9 the last column serves as both ends.
  const float& here = row[i];
  const float& next = row[i < 9 ? i + 1 : 9];
  return Extended::Blend(f, here, next);
}

// ReadReal, counting the numbers found. At the end of the data, or after a failed read,
// the entry reads as 0 as ReadReal gives it, without asking the file again; noted as
// the entry read no token, so it held no digitless one either.
Extended ReadEntry(TextInput& input, int& numbers) {
  if (!SkipSeparators(input)) {
    NoteRealWithoutDigits(false);
    return Extended();
  }
  ++numbers;
  return ReadReal(input);
}

// The entry [k, j] just read, when its token held no digit.
void NoteIfDigitless(DigitlessEntries& digitless, int k, int j) {
  const IORecord& r = gIORecord;
  if (!r.realWithoutDigits) return;
  ++digitless.count;
  if (digitless.count > kNamedDigitless) return;
  DigitlessEntry& entry = digitless.first[digitless.count];
  entry.project = static_cast<uint8_t>(k);
  entry.level = static_cast<uint8_t>(j);
  entry.length = r.tokenLength;
  for (int i = 0; i < entry.token.kSize; ++i) entry.token[i] = r.token[i];
}

}  // namespace

int ProfitTable::Load(const char* fileName) {
  // The channel lives only while the table loads.
  TextInput channel{};
  NoteLoading(fileName);
  // 1. Open; a missing or unreadable file stops here.
  BindFile(channel, fileName);
  OpenForReading(channel);
  CheckIOResult();
  // 2. Project by project, level by level; one check after every single read.
  int numbers = 0;
  digitless.count = 0;
  for (int k = 1; k <= 8; ++k) {
    for (int j = 0; j <= 9; ++j) {
      NoteTableEntry(k, j);
      entries[k][j] = ToFloat(ReadEntry(channel, numbers));
      CheckIOResult();
      NoteIfDigitless(digitless, k, j);
    }
  }
  // 3. Close.
  CloseInput(channel);
  CheckIOResult();
  return numbers;
}

float ProfitTable::ProjectProfit(int k, float x) const {
  float profit = Interpolate(entries[k], x);
  ArithmeticCheckpoint();
  return profit;
}

float ProfitTable::TotalProfit(const AllocationVector& v) const {
  float sum = 0.0f;
  for (int k = 1; k <= 8; ++k) sum = FloatSum(Interpolate(entries[k], v[k]), sum);
  ArithmeticCheckpoint();
  return sum;
}
