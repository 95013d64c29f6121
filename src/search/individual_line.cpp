#include "search/individual_line.h"

#include "runtime/core/io_status.h"
#include "runtime/stream/text_output.h"

void WriteProfitAndShares(float profit, const AllocationVector& shares) {
  // 1. The rest of the head.
  WriteText(" F:");
  WriteReal(Extended(profit), 7, 3);
  WriteText(" W:");
  FlushOutput();
  CheckIOResult();
  // 2. One statement per share.
  for (int k = 1; k <= 8; ++k) {
    WriteReal(Extended(shares[k]), 5, 3);
    WriteChar(' ');
    FlushOutput();
    CheckIOResult();
  }
  // 3. The line end.
  WriteLineEnd();
  CheckIOResult();
}
