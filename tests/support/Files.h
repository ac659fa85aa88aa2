// Scratch folders and whole files for the tests that write data folders,
// preset libraries and songs. Header only.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_support {

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, sorted.
inline std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A fresh folder below the system's temporary folder, removed with its
// contents at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ondrel-test-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern + "/";
    }
    ~ScratchFolder()
    {
        std::error_code error;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }  // ends with "/"
    // Creates the folder (and those above it); answers its path with "/".
    std::string make(const std::string& relativeFolder) const
    {
        std::error_code error;
        std::filesystem::create_directories(m_path + relativeFolder, error);
        return m_path + relativeFolder + (relativeFolder.empty() || relativeFolder.back() == '/' ? "" : "/");
    }
    // Writes the file (making its folders); answers its path.
    std::string write(const std::string& relativePath, const std::string& text) const
    {
        const size_t cut = relativePath.find_last_of('/');
        if (cut != std::string::npos) make(relativePath.substr(0, cut));
        std::ofstream(m_path + relativePath, std::ios::binary) << text;
        return m_path + relativePath;
    }

private:
    std::string m_path;
};

}  // namespace testing_support
