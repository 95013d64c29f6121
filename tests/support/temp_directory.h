#pragma once
// A private temporary directory for one test, removed with everything in it when the
// object goes: the one helper of the unit and end-to-end suites, on both systems.
//
//   TempDirectory dir("text_file");
//   std::string path = dir.Write("function.txt", "1 2 3");   // dir.Path() + "/function.txt"

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

class TempDirectory {
 public:
  // Under the system's temporary directory (TMPDIR on Linux), named prefix-<random>.
  explicit TempDirectory(std::string_view prefix) {
    std::random_device random;
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      std::filesystem::path candidate =
          base / (std::string(prefix) + "-" + std::to_string(random()));
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
  }
  ~TempDirectory() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  // Empty when no directory could be made.
  const std::string& Path() const { return path_; }
  std::string PathOf(std::string_view name) const { return path_ + "/" + std::string(name); }

  // The file's path; the bytes are written as they are (no line-end conversion).
  std::string Write(std::string_view name, std::string_view bytes) const {
    std::string path = PathOf(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    return path;
  }

 private:
  std::string path_;
};
