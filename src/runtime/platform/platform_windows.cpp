// The seam on Windows: handles, GetLastError, exceptions and console control events.
#include <windows.h>

#include "runtime/platform/error_codes.h"
#include "runtime/platform/platform.h"
#include "runtime/platform/platform_common.h"
#include "runtime/platform/windows_status.h"

// Start of the executable's image, provided by the linker.
extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

// A handle's significant bits fit in 32, and sign extension gives it back whole.
HANDLE ToHandle(PlatformHandle handle) {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}
PlatformHandle FromHandle(HANDLE handle) {
  return static_cast<PlatformHandle>(reinterpret_cast<intptr_t>(handle));
}

// A failure is never reported as 0.
int LastError() {
  DWORD error = GetLastError();
  return error != 0 ? static_cast<int>(error) : ERROR_INVALID_HANDLE;
}

int OpenForReading(const char* name, PlatformHandle* handle) {
  HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  *handle = FromHandle(file);
  return file == INVALID_HANDLE_VALUE ? LastError() : 0;
}

int OpenForWriting(const char* name, PlatformHandle* handle) {
  HANDLE file = CreateFileA(name, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  *handle = FromHandle(file);
  return file == INVALID_HANDLE_VALUE ? LastError() : 0;
}

// A process started without the stream has no handle (NULL): no error number then.
int StandardHandle(DWORD which, PlatformHandle* handle) {
  HANDLE standard = GetStdHandle(which);
  *handle = FromHandle(standard);
  if (standard == INVALID_HANDLE_VALUE) return LastError();
  return standard == nullptr ? ERROR_INVALID_HANDLE : 0;
}

int StandardInput(PlatformHandle* handle) { return StandardHandle(STD_INPUT_HANDLE, handle); }
int StandardOutput(PlatformHandle* handle) { return StandardHandle(STD_OUTPUT_HANDLE, handle); }

// NUL is a character device too, but not a console: it gets blocks like a file.
int IsConsole(PlatformHandle handle, bool* console) {
  HANDLE output = ToHandle(handle);
  SetLastError(0);
  DWORD type = GetFileType(output);
  // The handle is the caller's: it stays open whatever the answer.
  if (type == FILE_TYPE_UNKNOWN) return LastError();
  DWORD mode = 0;
  *console = type == FILE_TYPE_CHAR && GetConsoleMode(output, &mode);
  return 0;
}

int Read(PlatformHandle handle, void* buffer, uint32_t count, uint32_t* delivered) {
  DWORD got = 0;
  *delivered = 0;
  if (!ReadFile(ToHandle(handle), buffer, count, &got, nullptr)) {
    if (GetLastError() == ERROR_BROKEN_PIPE) return 0;  // the writer has gone: the end
    return LastError();
  }
  *delivered = got;
  return 0;
}

int Write(PlatformHandle handle, const void* data, uint32_t count) {
  const char* next = static_cast<const char*>(data);
  while (count > 0) {
    DWORD written = 0;
    if (!WriteFile(ToHandle(handle), next, count, &written, nullptr)) return LastError();
    if (written == 0) return ERROR_WRITE_FAULT;  // no progress and no error: do not spin
    next += written;
    count -= written;
  }
  return 0;
}

int Close(PlatformHandle handle) { return CloseHandle(ToHandle(handle)) ? 0 : LastError(); }

// The low 32 bits of the performance counter; the millisecond tick count if it fails.
uint32_t SeedClock() {
  LARGE_INTEGER counter;
  if (QueryPerformanceCounter(&counter)) return static_cast<uint32_t>(counter.QuadPart);
  return GetTickCount();
}

void Exit(int status) { ExitProcess(static_cast<UINT>(status)); }

FaultResponse gResponse;
HANDLE gProgramThread = nullptr;

// Ends the process itself: returning would let the C runtime's own filter resume the
// faulting instruction, which for some statuses faults again for ever.
LONG CALLBACK HandleException(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD* record = exception->ExceptionRecord;
  if (!EndsTheRun(record->ExceptionCode)) return EXCEPTION_CONTINUE_SEARCH;
  // The faulting x87 state is still loaded here; the next waiting x87 instruction
  // would fault again.
  gResponse.resetArithmetic();
  gResponse.stop(CodeForExceptionStatus(record->ExceptionCode),
                 PlatformCodeAddress(record->ExceptionAddress));
  ExitProcess(255);  // the stop does not return
}

// Runs on a thread of its own. The program's thread is held first, as a signal holds
// it on Linux, so the end sequence never runs on two threads at once.
BOOL WINAPI HandleConsoleEvent(DWORD event) {
  SuspendThread(gProgramThread);
  CONTEXT context = {};
  context.ContextFlags = CONTEXT_CONTROL;
  const void* where = nullptr;
  if (GetThreadContext(gProgramThread, &context))
    where = reinterpret_cast<const void*>(context.Rip);
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
    gResponse.stop(kInterrupted, PlatformCodeAddress(where));
  // Close, logoff, shutdown: what is written stays written, then the system's own
  // handling ends the process.
  gResponse.writePending();
  return FALSE;
}

void WriteErrorStream(const char* text, size_t count) {
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (error == INVALID_HANDLE_VALUE || error == nullptr) return;
  while (count > 0) {
    DWORD piece = count > 0x10000 ? 0x10000 : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(error, text, piece, &written, nullptr) || written == 0) return;
    text += written;
    count -= written;
  }
}

void ErrorText(int code, char* text, size_t size) {
  char message[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                static_cast<DWORD>(code), 0, message, sizeof message, nullptr);
  // Without the trailing line end (and blanks), then without the final period.
  while (length > 0 &&
         (message[length - 1] == '\n' || message[length - 1] == '\r' || message[length - 1] == ' '))
    --length;
  if (length > 0 && message[length - 1] == '.') --length;
  message[length] = '\0';
  CopyErrorText(length > 0 ? message : nullptr, code, text, size);
}

}  // namespace

const PlatformOperations kSystemPlatform = {
    OpenForReading, StandardInput, StandardOutput, IsConsole,        Read,      Write,
    Close,          SeedClock,     Exit,           WriteErrorStream, ErrorText, OpenForWriting};
PlatformOperations gPlatform = kSystemPlatform;

void PlatformInstallFaultHandling(const FaultResponse& response) {
  gResponse = response;
  DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &gProgramThread, 0,
                  FALSE, DUPLICATE_SAME_ACCESS);
  ULONG reserve = 64 * 1024;  // room for the handler when the stack runs out
  SetThreadStackGuarantee(&reserve);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  AddVectoredExceptionHandler(1, HandleException);
  SetConsoleCtrlHandler(HandleConsoleEvent, TRUE);
}

uint32_t PlatformCodeAddress(const void* address) {
  return RelativeCodeAddress(address, &__ImageBase);
}

const char kPlatformLineEnd[] = "\r\n";
