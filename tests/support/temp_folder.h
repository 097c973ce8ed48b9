// A temporary folder for a test, removed with everything in it (made
// writable first, for tests that take the write permission away).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorkab-test-XXXXXX").string();
    if (char* made = mkdtemp(&pattern[0])) m_path = made;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (m_path.empty()) return;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(m_path, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder ("" when it could not be made), or a name inside it.
  const std::string& Path() const { return m_path; }
  std::string Path(const std::string& name) const { return m_path + "/" + name; }
  // The names of the files in the folder.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path)) names.push_back(entry.path().filename().string());
    return names;
  }

 private:
  std::string m_path;
};

}  // namespace test_support
