#include "PresetTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace presets_test {

static std::string g_log;

static void record(const char* text) { g_log += text; }

LogCapture::LogCapture()
{
    g_log.clear();
    PresetLog::setRecorder(record);
}

LogCapture::~LogCapture() { PresetLog::setRecorder(nullptr); }

std::string LogCapture::text() const { return g_log; }

void LogCapture::clear() { g_log.clear(); }

static void removeTree(const std::string& path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* dir = ::opendir(path.c_str())) {
            while (struct dirent* d = ::readdir(dir)) {
                std::string name = d->d_name;
                if (name != "." && name != "..") removeTree(path + "/" + name);
            }
            ::closedir(dir);
        }
        ::chmod(path.c_str(), 0700);
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

ScratchFolder::ScratchFolder()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/ondrel-presets-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (::mkdtemp(buffer.data())) m_path = std::string(buffer.data()) + "/";
}

ScratchFolder::~ScratchFolder()
{
    if (!m_path.empty()) removeTree(m_path.substr(0, m_path.size() - 1));
}

std::string ScratchFolder::make(const std::string& relativeFolder) const
{
    std::string path = m_path;
    std::stringstream parts(relativeFolder);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty()) continue;
        path += part + "/";
        ::mkdir(path.c_str(), 0777);
    }
    return path;
}

std::string ScratchFolder::write(const std::string& relativePath, const std::string& text) const
{
    size_t cut = relativePath.find_last_of('/');
    if (cut != std::string::npos) make(relativePath.substr(0, cut));
    std::string path = m_path + relativePath;
    std::ofstream out(path, std::ios::binary);
    out << text;
    return path;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> listFolder(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (struct dirent* d = ::readdir(dir)) {
            std::string name = d->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string document(const std::string& params, const std::string& name)
{
    return "---\nPreset:\n  product: Ondrel\n  version: 0.9.8\n  format: 1\n  name: " + name + "\nParams:\n" + params;
}

std::string initDocument(const Parameters& parameters, const std::string& name)
{
    std::string text = document("", name);
    for (size_t i = 0; i < parameters.count(); ++i)
        text +=
            "  " + parameters.presetKey((int)i) + ": " + (parameters.defaultValue((int)i) == 0.0f ? "0" : "0.5") + "\n";
    return text;
}

}  // namespace presets_test
