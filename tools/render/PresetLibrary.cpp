#include "tools/render/PresetLibrary.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

bool endsWithPart(const std::string& id, const std::string& tail, bool ignoreCase)
{
    if (tail.size() > id.size()) return false;
    std::string end = id.substr(id.size() - tail.size());
    bool same = ignoreCase ? sameIgnoringCase(end, tail) : end == tail;
    return same && (id.size() == tail.size() || id[id.size() - tail.size() - 1] == '/');
}

}  // namespace

bool sameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower((unsigned char)x) == std::tolower((unsigned char)y);
           });
}

PresetLibrary::PresetLibrary(const std::string& modulePath)
{
    std::error_code ec;
    fs::path dir = fs::absolute(modulePath, ec).parent_path() / "Presets";
    root = dir.string();
    for (const char* kind : {"Factory", "User"}) {
        fs::path top = dir / kind;
        if (!fs::is_directory(top, ec)) continue;
        std::vector<PresetFile> found;
        for (auto it = fs::recursive_directory_iterator(top, fs::directory_options::skip_permission_denied, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path& p = it->path();
            if (!it->is_regular_file(ec) || p.extension() != ".yaml") continue;
            PresetFile f;
            f.path = p.string();
            f.name = p.stem().string();
            f.id = (fs::path(kind) / p.lexically_relative(top)).replace_extension().generic_string();
            found.push_back(f);
        }
        std::sort(found.begin(), found.end(), [](const PresetFile& a, const PresetFile& b) { return a.id < b.id; });
        files.insert(files.end(), found.begin(), found.end());
    }
}

std::vector<PresetFile> PresetLibrary::find(const std::string& wanted) const
{
    for (bool ignoreCase : {false, true}) {
        std::vector<PresetFile> matches;
        for (const PresetFile& f : files)
            if (endsWithPart(f.id, wanted, ignoreCase)) matches.push_back(f);
        if (!matches.empty()) return matches;
    }
    return {};
}

bool readFileBytes(const std::string& path, std::vector<unsigned char>& bytes, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}
