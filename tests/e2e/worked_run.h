#pragma once
// What the program shows for the fixed runs of the end-to-end tests: the prompts, the
// table with entry [k, j] = k + j * (10 - j), and the whole standard output for the seed 0,
// 3 individuals and the amplitude 0.01 after 0 and 2 iterations.

#include <initializer_list>
#include <string>
#include <string_view>

namespace e2e {

inline constexpr std::string_view kCountPrompt = "Input number of individuals (10):";
inline constexpr std::string_view kIterationsPrompt = "Input iterations count    (1000):";
inline constexpr std::string_view kAmplitudePrompt = "Input mutation amplitude  (0.01):";

inline std::string AllPrompts() {
  return std::string(kCountPrompt) + std::string(kIterationsPrompt) + std::string(kAmplitudePrompt);
}

// Each line followed by CR LF.
inline std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

// Eight lines of ten numbers.
inline std::string WorkedTable() {
  std::string text;
  for (int k = 1; k <= 8; ++k) {
    for (int j = 0; j <= 9; ++j) text += std::to_string(k + j * (10 - j)) + (j < 9 ? " " : "\n");
  }
  return text;
}

inline std::string WorkedRunAfterNoStep() {
  return AllPrompts() + Lines({"Optimal solution:",
                               "H:1 F:106.678 W:0.000 0.012 0.342 0.080 0.108 0.267 0.126 0.064 ",
                               "H:2 F:108.680 W:0.142 0.163 0.031 0.181 0.027 0.321 0.023 0.112 ",
                               "H:3 F:112.642 W:0.185 0.074 0.156 0.066 0.141 0.170 0.145 0.062 ",
                               "  Maximum profit: 112.642", "Press ENTER to exit."});
}

inline std::string WorkedRunAfterTwoSteps() {
  return AllPrompts() + Lines({"Optimal solution:",
                               "H:1 F:112.696 W:0.200 0.116 0.110 0.106 0.053 0.239 0.097 0.078 ",
                               "H:2 F:112.778 W:0.216 0.107 0.122 0.090 0.059 0.208 0.133 0.065 ",
                               "H:3 F:112.356 W:0.177 0.072 0.165 0.066 0.154 0.175 0.142 0.048 ",
                               "  Maximum profit: 112.778", "Press ENTER to exit."});
}

// Count 0, no step, amplitude 0: what the end of input from the start gives.
inline std::string EmptyRun() {
  return AllPrompts() +
         Lines({"Optimal solution:", "  Maximum profit:   0.000", "Press ENTER to exit."});
}

}  // namespace e2e
