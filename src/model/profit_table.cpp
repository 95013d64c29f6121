#include "model/profit_table.h"

#include "runtime/stop_message.h"
#include "runtime/fpu.h"
#include "runtime/text_channel.h"

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
  long double weight = 1.0L - f;
  return static_cast<float>(weight * here + static_cast<long double>(f) * next);
}

// ReadReal, counting the numbers found. At the end of the data, or after a failed read,
// the entry reads as 0 as ReadReal gives it, without asking the file again.
long double ReadEntry(TextChannel& channel, int& numbers) {
  if (!SkipSeparators(channel)) return 0.0L;
  ++numbers;
  return ReadReal(channel);
}

}  // namespace

int ProfitTable::Load(const char* fileName) {
  // The channel lives only while the table loads.
  TextChannel channel{};
  NoteLoading(fileName);
  // 1. Open; a missing or unreadable file stops here.
  BindFile(channel, fileName);
  OpenForReading(channel);
  CheckIOResult();
  // 2. Project by project, level by level; one check after every single read.
  int numbers = 0;
  for (int k = 1; k <= 8; ++k) {
    for (int j = 0; j <= 9; ++j) {
      NoteTableEntry(k, j);
      entries[k][j] = ToFloat(ReadEntry(channel, numbers));
      CheckIOResult();
    }
  }
  // 3. Close.
  CloseChannel(channel);
  CheckIOResult();
  return numbers;
}

float ProfitTable::ProjectProfit(int k, float x) const {
  float profit = Interpolate(entries[k], x);
  FpuCheckpoint();
  return profit;
}

float ProfitTable::TotalProfit(const AllocationVector& v) const {
  float sum = 0.0f;
  for (int k = 1; k <= 8; ++k) sum = Interpolate(entries[k], v[k]) + sum;
  FpuCheckpoint();
  return sum;
}
