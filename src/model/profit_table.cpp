#include "model/profit_table.h"

#include "runtime/text_channel.h"

void ProfitTable::Load(const char* fileName) {
  // The channel lives only while the table loads.
  TextChannel channel{};
  // 1. Open; a missing or unreadable file stops here.
  BindFile(channel, fileName);
  OpenForReading(channel);
  CheckIOResult();
  // 2. Project by project, level by level; one check after every single read.
  for (int k = 1; k <= 8; ++k) {
    for (int j = 0; j <= 9; ++j) {
      entries[k][j] = ToFloat(ReadReal(channel));
      CheckIOResult();
    }
  }
  // 3. Close.
  CloseChannel(channel);
  CheckIOResult();
}
