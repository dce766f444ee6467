#pragma once
// A fresh folder below the system's temporary folder, removed with its
// contents when the object goes.

#include <filesystem>
#include <random>
#include <string>

namespace quillan::testing {

class CScratchDir {
public:
  // The folder's name is the prefix and a random number.
  explicit CScratchDir(const std::string &prefix = "quillan_") {
    std::random_device random;
    m_path =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(random()) + "_" + std::to_string(random()));
    std::filesystem::create_directories(m_path);
  }
  ~CScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  CScratchDir(const CScratchDir &) = delete;
  CScratchDir &operator=(const CScratchDir &) = delete;

  const std::filesystem::path &Path() const { return m_path; }

private:
  std::filesystem::path m_path;
};

} // namespace quillan::testing
