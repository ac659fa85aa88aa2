// The part of the preset platform layer that is the same on every OS.
#include "Frameworks/PresetManager/PresetPlatform.h"

#include "Frameworks/PresetManager/PresetPlatformOS.h"
#include "platform/MessageBox.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <vector>

namespace Platform {

namespace {

// Deepest sub-folder level a walk enters.
const int kMaxWalkLevels = 32;
// Longest base name of a saved preset (bytes, before number and extension).
const size_t kMaxBaseNameLength = 100;
// How many numbered candidates uniquePresetFileName tries.
const int kMaxNameNumber = 1000000;

// The folders, computed once per process and shared by every instance.
// Hosts create instances on several threads at once, so they are read and
// written only under g_foldersLock; the slow parts (reading the module path,
// a message box, creating the user folder) run outside it.
struct Folders {
    std::string override_;
    bool presetsKnown = false;
    std::string factory;
    std::string user;
    bool dataKnown = false;
    std::string data;
};

std::mutex g_foldersLock;

Folders& folders()
{
    static Folders f;
    return f;
}

std::string folderOverride()
{
    std::lock_guard<std::mutex> lock(g_foldersLock);
    return folders().override_;
}

std::atomic<ShellRecorder> g_shellRecorder{nullptr};

bool endsWithSeparator(const std::string& path)
{
    if (path.empty()) return false;
    const char last = path.back();
    return last == '/' || last == pathSeparator();
}

std::string join(const std::string& folder, const std::string& name)
{
    return endsWithSeparator(folder) ? folder + name : folder + pathSeparator() + name;
}

// One reading of the data folder: the module path cut after its last
// separator (which stays).
std::string readDataFolder()
{
    std::string folder = folderOverride();
    if (!folder.empty()) {
        if (!endsWithSeparator(folder)) folder += pathSeparator();
    } else {
        std::string module = os::moduleFilePath();
        size_t cut = module.find_last_of(pathSeparator());
        if (cut != std::string::npos) folder = module.substr(0, cut + 1);
    }
    if (folder.size() < 6) showMessageBox("Plugin Data not found!", "Hu?");
    return folder;
}

std::string relativeFolder(const char* first, const char* second)
{
    std::string path = first;
    path += pathSeparator();
    path += second;
    path += pathSeparator();
    return path;
}

// Folders a walk has entered, and the walked folder with every folder above
// it: a link or junction to one of them is not followed, so that each real
// folder is walked once and a link back up (to ".", "..", "/") ends at once.
using VisitedFolders = std::set<os::FolderId>;

void rememberFolderAndAncestors(const std::string& folder, VisitedFolders& visited)
{
    std::string path = folder;
    for (int up = 0; up < kMaxWalkLevels * 8; ++up) {
        os::FolderId id;
        // The root is its own parent: the walk up ends there.
        if (!os::folderIdentity(path, id) || !visited.insert(id).second) return;
        path = join(path, "..");
    }
}

void walk(const std::string& folder, DirTreeCallback& callback, const std::string& extension, int depth, int level,
          VisitedFolders& visited)
{
    if (folder.size() >= os::maxListedFolderLength()) return;
    std::vector<os::DirEntry> entries;
    if (!os::listFolder(folder, entries)) return;
    for (const os::DirEntry& entry : entries) {
        const std::string& name = entry.name;
        if (entry.isFile) {
            if (name.size() >= extension.size() &&
                name.compare(name.size() - extension.size(), extension.size(), extension) == 0)
                callback.onFile(join(folder, name));
        } else if (entry.isDirectory && !name.empty() && name[0] != '.' && depth != 1) {
            if (level >= kMaxWalkLevels) continue;
            const std::string path = join(folder, name);
            os::FolderId id;
            if (os::folderIdentity(path, id)) {
                if (!visited.insert(id).second) continue;
            } else if (entry.isLink) {
                continue;  // where it leads cannot be told
            }
            std::string token = callback.enterDirectory(name);
            walk(path, callback, extension, depth >= 2 ? depth - 1 : depth, level + 1, visited);
            callback.leaveDirectory(token);
        }
    }
}

char mapFileNameByte(unsigned char c)
{
    if (c < 32 || c == 127) return '^';
    if (c >= 128) return '@';
    switch (c) {
    case '"':
        return '\'';
    case '*':
        return 'x';
    case '/':
    case '\\':
        return '%';
    case ':':
        return ';';
    case '<':
        return '[';
    case '>':
        return ']';
    case '?':
    case '|':
        return '!';
    default:
        return (char)c;
    }
}

// Names that Windows takes as devices whatever the extension ("CON.yaml"
// opens the console), checked on every OS so that files can move between them.
bool isDeviceName(const std::string& base)
{
    std::string stem = base.substr(0, base.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem)
        if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL" || stem == "CONIN$" || stem == "CONOUT$")
        return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '0' &&
           stem[3] <= '9';
}

bool recordShellRequest(const char* verb, const std::string& target, bool& result)
{
    if (ShellRecorder r = g_shellRecorder.load()) {
        result = r(verb, target.c_str());
        return true;
    }
    const char* noDialogs = std::getenv("ONDREL_NO_DIALOGS");
    if (!noDialogs || !*noDialogs || *noDialogs == '0') return false;
    std::fprintf(stderr, "shell %s: %s\n", verb, target.c_str());
    const char* log = std::getenv("ONDREL_SHELL_LOG");
    if (log && *log) {
        if (FILE* f = std::fopen(log, "a")) {
            std::fprintf(f, "%s|%s\n", verb, target.c_str());
            std::fclose(f);
        }
    }
    result = true;
    return true;
}

}  // namespace

std::string dataFolder()
{
    {
        std::lock_guard<std::mutex> lock(g_foldersLock);
        if (folders().dataKnown) return folders().data;
    }
    const std::string data = readDataFolder();
    std::lock_guard<std::mutex> lock(g_foldersLock);
    Folders& f = folders();
    if (!f.dataKnown) {
        f.data = data;
        f.dataKnown = true;
    }
    return f.data;
}

std::string presetFolder(bool user)
{
    {
        std::lock_guard<std::mutex> lock(g_foldersLock);
        const Folders& f = folders();
        if (f.presetsKnown) return user ? f.user : f.factory;
    }
    const std::string factoryFolder = readDataFolder() + relativeFolder("Presets", "Factory");
    const std::string data = readDataFolder();
    const std::string userFolder = data + relativeFolder("Presets", "User");
    // The user folder is made when first asked for, with its parent so that
    // saving works even where no preset folder was installed. Two instances
    // may both try: an existing folder is fine.
    os::createFolder(data + "Presets");
    os::createFolder(userFolder);
    std::lock_guard<std::mutex> lock(g_foldersLock);
    Folders& f = folders();
    if (!f.presetsKnown) {
        f.factory = factoryFolder;
        f.user = userFolder;
        f.presetsKnown = true;
    }
    return user ? f.user : f.factory;
}

std::string pluginDataPath(const std::string& relativePath) { return dataFolder() + relativePath; }

void setDataFolderOverride(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_foldersLock);
    Folders& f = folders();
    f = Folders();
    f.override_ = folder;
}

void walkDirectoryTree(const std::string& folder, DirTreeCallback& callback, const std::string& extension, int depth)
{
    VisitedFolders visited;
    rememberFolderAndAncestors(folder, visited);
    walk(folder, callback, extension, depth, 0, visited);
}

std::string presetFileBaseName(const std::string& name)
{
    std::string base;
    for (size_t i = 0; i < name.size() && base.size() < kMaxBaseNameLength; ++i)
        base += mapFileNameByte((unsigned char)name[i]);
    if (base.empty()) base = "Preset";
    if (isDeviceName(base)) base.insert(0, "_");
    return base;
}

std::string uniquePresetFileName(const std::string& folder, const std::string& name, const std::string& extension)
{
    const std::string base = join(folder, presetFileBaseName(name));
    for (int n = 0; n < kMaxNameNumber; ++n) {
        std::string candidate = base;
        if (n > 0) candidate += std::to_string(n);
        candidate += ".";
        candidate += extension;
        if (!os::fileExists(candidate)) return candidate;
    }
    return std::string();
}

bool fileExists(const std::string& path) { return os::fileExists(path); }

bool createFolder(const std::string& path) { return os::createFolder(path); }

WriteResult writeTextFile(const std::string& path, const std::string& text, bool replaceExisting)
{
    if (path.empty()) return WriteResult::Failed;
    return os::writeTextFile(path, text, replaceExisting);
}

int compareNames(const std::string& a, const std::string& b) { return os::compareNames(a, b); }

bool exploreFolder(const std::string& path)
{
    bool result = false;
    if (recordShellRequest("explore", path, result)) return result;
    return os::shellExecute("explore", path);
}

bool openInShell(const std::string& target)
{
    bool result = false;
    if (recordShellRequest("open", target, result)) return result;
    return os::shellExecute("open", target);
}

void setShellRecorder(ShellRecorder recorder) { g_shellRecorder = recorder; }

}  // namespace Platform
