// Linux: one text file per store, "$XDG_CONFIG_HOME/<last part of the key
// path>/settings", one "name=value" line per value. Floats are written with
// enough digits to read back exactly. A line that does not parse is ignored;
// a write keeps the other lines and replaces the file in one rename.
#include "Settings.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace Platform {

namespace {

std::string configHome()
{
    // The XDG rule: a relative or empty value counts as unset.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.config";
    return {};
}

std::string lastPart(const std::string& keyPath)
{
    size_t cut = keyPath.find_last_of("\\/");
    return cut == std::string::npos ? keyPath : keyPath.substr(cut + 1);
}

using Lines = std::vector<std::pair<std::string, std::string>>;

Lines readLines(const std::string& path)
{
    Lines lines;
    std::ifstream in(path);
    std::string line;
    // A settings file is a few lines; anything much longer is not ours.
    for (int count = 0; count < 256 && std::getline(in, line); ++count) {
        size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) continue;
        lines.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return lines;
}

bool findValue(const std::string& path, const char* name, std::string& text)
{
    if (path.empty()) return false;
    for (auto& entry : readLines(path))
        if (entry.first == name) {
            text = entry.second;
            return true;
        }
    return false;
}

bool writeValue(const std::string& folder, const std::string& path, const char* name, const std::string& text)
{
    if (path.empty()) return false;
    std::string parent = folder.substr(0, folder.find_last_of('/'));
    mkdir(parent.c_str(), 0755);  // $XDG_CONFIG_HOME itself may be missing
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
    Lines lines = readLines(path);
    bool replaced = false;
    for (auto& entry : lines)
        if (entry.first == name) {
            entry.second = text;
            replaced = true;
        }
    if (!replaced) lines.emplace_back(name, text);
    std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (auto& entry : lines) out << entry.first << '=' << entry.second << '\n';
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

std::string folderOf(const std::string& keyPath)
{
    std::string home = configHome();
    return home.empty() ? std::string() : home + "/" + lastPart(keyPath);
}

}  // namespace

std::string SettingsStore::filePath() const
{
    std::string folder = folderOf(keyPath);
    return folder.empty() ? folder : folder + "/settings";
}

bool SettingsStore::readFloat(const char* name, float& value) const
{
    std::string text;
    if (!findValue(filePath(), name, text) || text.empty()) return false;
    char* end = nullptr;
    float v = std::strtof(text.c_str(), &end);
    if (!end || *end != 0 || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool SettingsStore::writeFloat(const char* name, float value) const
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", (double)value);
    return writeValue(folderOf(keyPath), filePath(), name, text);
}

bool SettingsStore::readNumber(const char* name, uint32_t& value) const
{
    std::string text;
    if (!findValue(filePath(), name, text) || text.empty() || text.size() > 10) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (v > 0xFFFFFFFFull) return false;
    value = (uint32_t)v;
    return true;
}

bool SettingsStore::writeNumber(const char* name, uint32_t value) const
{
    return writeValue(folderOf(keyPath), filePath(), name, std::to_string(value));
}

}  // namespace Platform
