#include "app/csv_report.h"

#include "runtime/core/io_status.h"
#include "runtime/number/shortest.h"
#include "runtime/stream/text_output.h"

namespace {

void EndCsvLine() {
  WriteChar('\n');
  FlushOutput();
  CheckIOResult();
}

void WriteShortest(float x) {
  NumberText text = FormatShortest(x);
  WriteText(text.View());
}

}  // namespace

void WriteCsvHeader() {
  WriteText("individual,profit,share1,share2,share3,share4,share5,share6,share7,share8");
  EndCsvLine();
}

void WriteCsvLine(int32_t individual, float profit, const AllocationVector& shares) {
  WriteInteger(individual);
  WriteChar(',');
  WriteShortest(profit);
  for (int k = 1; k <= 8; ++k) {
    WriteChar(',');
    WriteShortest(shares[k]);
  }
  EndCsvLine();
}
