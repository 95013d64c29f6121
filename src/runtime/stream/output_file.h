#pragma once
// OutputFile: a file the program writes beside its standard output (the convergence
// trace), opened by name, created if missing and emptied if not. Every write goes out at
// once and whole, so a reader of the file sees it grow; the first failure is kept and the
// writes after it are skipped. Nothing here stops the run: the caller decides.
//
//   OutputFile file;
//   if (int code = file.Open("trace.csv"); code != 0) ...  // e.g. 2: no such folder
//   file.Write("step,best,mean\n");
//   int code = file.Close();  // 0, or the first error of the writes and the close

#include <cstdint>
#include <string_view>

#include "runtime/number/fixed_text.h"

class OutputFile {
 public:
  // 0, or the system's error number.
  int Open(const char* name);
  void Write(std::string_view text);
  int Close();

 private:
  int32_t handle_ = -1;
  int error_ = 0;
};

// The system's own words for error number code ("No such file or directory").
void AddSystemWords(WordsLine& line, int code);
