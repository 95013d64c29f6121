#include "model/profit_table.h"

#include "runtime/stop_message.h"
#include "runtime/text_channel.h"

void ProfitTable::Load(const char* fileName) {
  // The channel lives only while the table loads.
  TextChannel channel{};
  NoteLoading(fileName);
  // 1. Open; a missing or unreadable file stops here.
  BindFile(channel, fileName);
  OpenForReading(channel);
  CheckIOResult();
  // 2. Project by project, level by level; one check after every single read.
  for (int k = 1; k <= 8; ++k) {
    for (int j = 0; j <= 9; ++j) {
      NoteTableEntry(k, j);
      entries[k][j] = ToFloat(ReadReal(channel));
      CheckIOResult();
    }
  }
  // 3. Close.
  CloseChannel(channel);
  CheckIOResult();
}

float ProfitTable::ProjectProfitExtended(int k, float x) const {
  const CheckedArray<float, 0, 9>& row = entries[k];
  // 9x has at most 28 significant bits: exact in a double, and so is t - i.
  double t = static_cast<double>(x) * 9.0;
  int i = TruncateToByte(t);
  float f = static_cast<float>(t - i);
  float here = row[i];
  float next = i + 1 <= 9 ? row[i + 1] : here;
  long double weight = 1.0L - f;
  return static_cast<float>(weight * here + static_cast<long double>(f) * next);
}
