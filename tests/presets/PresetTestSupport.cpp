#include "PresetTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace presets_test {

ScratchFolder::ScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "ondrel-presets-XXXXXX").string();
    if (::mkdtemp(pattern.data())) m_path = pattern + "/";
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    if (!m_path.empty()) fs::remove_all(m_path, error);
}

std::string ScratchFolder::make(const std::string& relativeFolder) const
{
    std::error_code error;
    fs::create_directories(m_path + relativeFolder, error);
    return m_path + relativeFolder + (relativeFolder.empty() || relativeFolder.back() == '/' ? "" : "/");
}

std::string ScratchFolder::write(const std::string& relativePath, const std::string& text) const
{
    const size_t cut = relativePath.find_last_of('/');
    if (cut != std::string::npos) make(relativePath.substr(0, cut));
    std::ofstream(m_path + relativePath, std::ios::binary) << text;
    return m_path + relativePath;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string initDocument(const Parameters& parameters, const std::string& name)
{
    std::string text = presetDocument("", name);
    for (size_t i = 0; i < parameters.count(); ++i)
        text +=
            "  " + parameters.presetKey((int)i) + ": " + (parameters.defaultValue((int)i) == 0.0f ? "0" : "0.5") + "\n";
    return text;
}

}  // namespace presets_test
