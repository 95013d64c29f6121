#include "fake_platform.h"

#include <algorithm>
#include <cstring>

namespace {
FakePlatform* gFake = nullptr;
}  // namespace

// The operations gPlatform points at while a FakePlatform lives.
struct FakeOperations {
  static int OpenForReading(const char* name, PlatformHandle* handle) {
    gFake->opened.emplace_back(name);
    if (gFake->openError != 0) return gFake->openError;
    if (!gFake->scriptedFiles) return kSystemPlatform.openForReading(name, handle);
    *handle = kFakeFile;
    return 0;
  }

  static int StandardInput(PlatformHandle* handle) {
    ++gFake->inputChecks;
    *handle = kFakeStandardInput;
    return gFake->standardInputError;
  }

  static int StandardOutput(PlatformHandle* handle) {
    *handle = kFakeStandardOutput;
    return gFake->standardOutputError;
  }

  static int IsConsole(PlatformHandle, bool* console) {
    ++gFake->outputChecks;
    *console = gFake->console;
    return gFake->consoleCheckError;
  }

  static int Read(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* delivered) {
    *delivered = 0;
    bool scripted = handle == kFakeStandardInput || (gFake->scriptedFiles && handle == kFakeFile);
    if (!scripted && handle != kFakeFile)
      return kSystemPlatform.read(handle, buffer, count, delivered);
    ++gFake->reads;
    if (!scripted || count == 0 || count > 128) {
      ++gFake->badReads;
      return 9;  // EBADF on Linux; any failure will do
    }
    if (gFake->endReported) ++gFake->readsAfterEnd;
    std::deque<FakeChunk>& input = gFake->input;
    if (input.empty()) {
      gFake->endReported = true;
      return 0;
    }
    FakeChunk& chunk = input.front();
    if (chunk.error != 0) {
      int error = chunk.error;
      input.pop_front();
      ++gFake->failedReads;
      return error;
    }
    size_t size = std::min<size_t>(count, chunk.bytes.size());
    std::memcpy(buffer, chunk.bytes.data(), size);
    chunk.bytes.erase(0, size);
    if (chunk.bytes.empty()) input.pop_front();
    if (size == 0) gFake->endReported = true;
    gFake->delivered += size;
    *delivered = static_cast<uint32_t>(size);
    return 0;
  }

  static int Write(PlatformHandle handle, const void* data, uint32_t count) {
    ++gFake->writeCalls;
    if (handle != kFakeStandardOutput) return kSystemPlatform.write(handle, data, count);
    int error = gFake->writeError;
    if (!gFake->writeScript.empty()) {
      error = gFake->writeScript.front();
      gFake->writeScript.pop_front();
    }
    if (error != 0) return error;
    size_t room = gFake->writeLimit - std::min(gFake->recorded_, gFake->writeLimit);
    size_t kept = std::min<size_t>(count, room);
    gFake->writes.emplace_back(static_cast<const char*>(data), kept);
    gFake->recorded_ += kept;
    return 0;
  }

  static int Close(PlatformHandle handle) {
    ++gFake->closes;
    if (handle != kFakeFile) {
      int result = kSystemPlatform.close(handle);
      if (result != 0) return result;
    }
    return gFake->closeError;
  }

  static uint32_t SeedClock() {
    ++gFake->clockReads;
    return gFake->clock;
  }

  static void Exit(int status) {
    if (gFake->onExit) gFake->onExit(status);
  }

  // Async-signal-safe enough for a stop: the string has room reserved beforehand.
  static void WriteErrorStream(const char* text, size_t count) {
    gFake->errorWritten.append(text, count);
    if (gFake->passErrorsOn) kSystemPlatform.writeErrorStream(text, count);
  }
};

FakePlatform::FakePlatform() {
  gFake = this;
  errorWritten.reserve(4096);
  gPlatform = {FakeOperations::OpenForReading, FakeOperations::StandardInput,
               FakeOperations::StandardOutput, FakeOperations::IsConsole,
               FakeOperations::Read,           FakeOperations::Write,
               FakeOperations::Close,          FakeOperations::SeedClock,
               FakeOperations::Exit,           FakeOperations::WriteErrorStream,
               kSystemPlatform.errorText,      kSystemPlatform.openForWriting};
}

FakePlatform::~FakePlatform() {
  gPlatform = kSystemPlatform;
  gFake = nullptr;
}

std::string FakePlatform::Written() const {
  std::string all;
  for (const std::string& piece : writes) all += piece;
  return all;
}
