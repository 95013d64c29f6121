#pragma once
// One output statement of a whole line: the text, CR LF, then the check that stops the
// run on a failed write.
//
//   WriteLine("Press ENTER to exit.")   ->   "Press ENTER to exit.\r\n"

#include <string_view>

void WriteLine(std::string_view text);
