#pragma once
// The one fake of the platform seam, for every suite and the fuzz targets: standard input
// served from scripted chunks, standard output recorded write by write, named files
// opened by the system (or served from the same script), standard error recorded, the
// system's own words for error numbers, a set clock, and an exit that
// a test may take over. A FakePlatform stands in for the system while it lives.
//
//   FakePlatform fake;
//   fake.input = {{"3\n"}, {"", EIO}};  // one read gives "3\n", the next fails with EIO
//   fake.console = true;                // standard output is the console
//   ...
//   EXPECT_EQ(fake.Written(), "...");

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "runtime/platform/platform.h"

struct FakeChunk {
  std::string bytes;  // delivered over as many reads as it takes
  int error = 0;      // non-zero: the read fails with this code instead
};

// Handles the fake gives out.
inline constexpr PlatformHandle kFakeStandardInput = 0;
inline constexpr PlatformHandle kFakeStandardOutput = 1;
inline constexpr PlatformHandle kFakeFile = 1001;

class FakePlatform {
 public:
  FakePlatform();   // only one at a time
  ~FakePlatform();  // the system's operations again
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  // Reads of standard input (and of files when scriptedFiles): each takes the next chunk,
  // or as much of it as was asked for; after the last chunk every read delivers nothing.
  std::deque<FakeChunk> input;
  int standardInputError = 0;  // non-zero: there is no standard input

  // Named files: the system's own, or with scriptedFiles the handle kFakeFile reading
  // from `input`. openError fails every open; closeError every close (after the
  // system's own close of a real file).
  bool scriptedFiles = false;
  int openError = 0;
  int closeError = 0;
  std::vector<std::string> opened;

  // Standard output.
  bool console = false;
  int standardOutputError = 0;      // non-zero: there is no standard output
  int consoleCheckError = 0;        // non-zero: isConsole fails with it
  std::deque<int> writeScript;      // per write call: 0 succeeds, anything else fails with it
  int writeError = 0;               // once the script is used up: every write fails with it
  size_t writeLimit = 1 << 20;      // bytes recorded at most
  std::vector<std::string> writes;  // the bytes of each write that succeeded
  std::string Written() const;

  // Standard error: every write recorded, also when passed on to the system's own.
  std::string errorWritten;
  bool passErrorsOn = false;  // also write them to the real standard error

  uint32_t clock = 0;
  // Called instead of the system's exit when set; a stop ends there (or in the
  // system's exit, should it return).
  std::function<void(int)> onExit;

  // What the program asked for.
  int reads = 0;
  size_t delivered = 0;      // bytes handed out by reads
  bool endReported = false;  // a read has delivered nothing
  int readsAfterEnd = 0;     // reads asked for after that
  int failedReads = 0;
  int badReads = 0;  // a count of 0 or above 128, or a handle the fake did not give
  int inputChecks = 0;
  int outputChecks = 0;
  int writeCalls = 0;
  int closes = 0;
  int clockReads = 0;

 private:
  size_t recorded_ = 0;
  friend struct FakeOperations;
};
