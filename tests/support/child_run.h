#pragma once
// Running code that ends the process (a stop, or the normal end) in a child, and
// checking the report line it leaves on standard output.

#include <gtest/gtest.h>

#include <functional>
#include <string>

struct ChildResult {
  int status = -1;     // exit status, or -1 when the child did not exit normally
  std::string output;  // every byte written to standard output
};

// Runs body in a child whose standard output is a pipe, with the stream closed and no
// code pending; a body that returns ends through the normal end sequence.
ChildResult RunInChild(const std::function<void()>& body);

// "Runtime error CCC at XXXXXXXX" (code right-aligned, 8 upper-case hex digits, not all
// zero), a zero byte, CR LF, and nothing else.
testing::AssertionResult IsReport(const std::string& bytes, int code);
