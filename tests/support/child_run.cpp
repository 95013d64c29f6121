#include "child_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "report_line.h"
#include "runtime/core/io_status.h"
#include "runtime/program/program.h"
#include "runtime/stream/text_output.h"

ChildResult RunInChild(const std::function<void()>& body) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return {};
  fflush(nullptr);
  pid_t child = fork();
  if (child == 0) {
    dup2(pipeEnds[1], STDOUT_FILENO);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    MarkOutputClosed();
    gPendingIOCode = 0;
    body();
    EndProgram();
  }
  close(pipeEnds[1]);
  ChildResult result;
  char chunk[256];
  for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
    result.output.append(chunk, static_cast<size_t>(got));
  close(pipeEnds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

testing::AssertionResult IsReport(const std::string& bytes, int code) {
  std::string fault = ReportLineFault(bytes, code);
  if (!fault.empty())
    return testing::AssertionFailure() << fault << ": " << testing::PrintToString(bytes);
  return testing::AssertionSuccess();
}
