#pragma once
// A fresh directory under the system's temporary folder, removed with everything in it.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace orvanel::fixture {

class CTempDir {
public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// The whole content of a file (empty when it cannot be read).
std::string ReadWholeFile(const std::filesystem::path& path);
// The names of the entries of a folder, sorted.
std::vector<std::string> FileNamesIn(const std::filesystem::path& folder);

} // namespace orvanel::fixture
