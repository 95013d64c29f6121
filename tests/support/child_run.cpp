#include "child_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>

#include "runtime/fatal.h"
#include "runtime/text_output.h"

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
    gInOutRes = 0;
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
  char head[32];
  snprintf(head, sizeof head, "Runtime error %3d at ", code);
  const std::string expected = head;
  if (bytes.size() != 32 || bytes.compare(0, expected.size(), expected) != 0)
    return testing::AssertionFailure() << "not the report of " << code << ": " << bytes;
  const std::string address = bytes.substr(21, 8);
  for (char c : address)
    if (!std::isxdigit(static_cast<unsigned char>(c)) || std::islower(static_cast<unsigned char>(c)))
      return testing::AssertionFailure() << "address " << address;
  if (address == "00000000") return testing::AssertionFailure() << "zero address";
  if (bytes.compare(29, 3, std::string("\0\r\n", 3)) != 0)
    return testing::AssertionFailure() << "no zero byte and CR LF";
  return testing::AssertionSuccess();
}
