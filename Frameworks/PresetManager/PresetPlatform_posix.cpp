// Files, folders and shell on Linux and other POSIX systems.
#include "Frameworks/PresetManager/PresetPlatformOS.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace Platform {

char pathSeparator() { return '/'; }

namespace os {

namespace {

// An address inside this module: dladdr names the file that holds it.
void moduleMarker() {}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += (size_t)n;
    }
    return true;
}

void syncFolderOf(const std::string& path)
{
    size_t cut = path.find_last_of('/');
    std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut);
    int fd = ::open(folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// UTF-8 to UTF-32; a byte that starts no well-formed sequence becomes U+FFFD.
std::wstring decodeUtf8(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char lead = (unsigned char)text[i];
        size_t width = lead < 0x80             ? 1
                       : (lead & 0xE0) == 0xC0 ? 2
                       : (lead & 0xF0) == 0xE0 ? 3
                       : (lead & 0xF8) == 0xF0 ? 4
                                               : 0;
        unsigned long value = width == 1 ? lead : width == 2 ? lead & 0x1F : width == 3 ? lead & 0x0F : lead & 0x07;
        bool ok = width != 0 && i + width <= text.size();
        for (size_t k = 1; ok && k < width; ++k) {
            const unsigned char c = (unsigned char)text[i + k];
            if ((c & 0xC0) != 0x80) ok = false;
            value = (value << 6) | (c & 0x3F);
        }
        if (ok && width > 1) {
            const unsigned long minimum = width == 2 ? 0x80 : width == 3 ? 0x800 : 0x10000;
            if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) ok = false;
        }
        if (ok) {
            out += (wchar_t)value;
            i += width;
        } else {
            out += (wchar_t)0xFFFD;
            ++i;
        }
    }
    return out;
}

// The user's locale for collation and case (from the environment), without
// touching the host's process-wide locale. Released when the module is
// unloaded, so that a host that unloads the plug-in loses nothing.
class UserLocale {
public:
    UserLocale()
    {
        m_locale = ::newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "", (locale_t)0);
        if (!m_locale) m_locale = ::newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "C.UTF-8", (locale_t)0);
        if (!m_locale) m_locale = ::newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "C", (locale_t)0);
    }
    ~UserLocale()
    {
        if (m_locale) ::freelocale(m_locale);
    }
    UserLocale(const UserLocale&) = delete;
    UserLocale& operator=(const UserLocale&) = delete;
    locale_t get() const { return m_locale; }

private:
    locale_t m_locale = (locale_t)0;
};

locale_t userLocale()
{
    static UserLocale locale;
    return locale.get();
}

std::string findInPath(const char* program)
{
    const char* path = std::getenv("PATH");
    std::string list = path && *path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string folder = list.substr(start, end - start);
        if (folder.empty()) folder = ".";
        std::string candidate = folder + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return std::string();
}

}  // namespace

std::string moduleFilePath()
{
    Dl_info info;
    std::memset(&info, 0, sizeof info);
    std::string path;
    if (::dladdr(reinterpret_cast<void*>(&moduleMarker), &info) && info.dli_fname && *info.dli_fname)
        path = info.dli_fname;
    if (!path.empty()) {
        // A module loaded by a relative name reports that name.
        if (char* full = ::realpath(path.c_str(), nullptr)) {
            path = full;
            std::free(full);
        }
    }
    if (path.empty() || path[0] != '/') {
        char buffer[PATH_MAX];
        ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        path = n > 0 ? std::string(buffer, (size_t)n) : std::string();
    }
    return path;
}

size_t maxListedFolderLength() { return PATH_MAX - 1; }

bool listFolder(const std::string& folder, std::vector<DirEntry>& entries)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    const std::string prefix = !folder.empty() && folder.back() == '/' ? folder : folder + "/";
    while (struct dirent* d = ::readdir(dir)) {
        DirEntry entry;
        entry.name = d->d_name;
        if (entry.name == "." || entry.name == "..") continue;
        if (d->d_type == DT_REG) {
            entry.isFile = true;
        } else if (d->d_type == DT_DIR) {
            entry.isDirectory = true;
        } else if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
            const std::string path = prefix + entry.name;
            struct stat st;
            entry.isLink = d->d_type == DT_LNK || (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
            if (::stat(path.c_str(), &st) == 0) {
                entry.isFile = S_ISREG(st.st_mode);
                entry.isDirectory = S_ISDIR(st.st_mode);
            }
        }
        entries.push_back(entry);
    }
    ::closedir(dir);
    return true;
}

bool folderIdentity(const std::string& path, FolderId& id)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    id.device = (uint64_t)st.st_dev;
    id.index = (uint64_t)st.st_ino;
    return true;
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool createFolder(const std::string& path)
{
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (::mkdir(folder.c_str(), 0777) == 0) return true;
    return errno == EEXIST && isDirectory(folder);
}

WriteResult writeTextFile(const std::string& path, const std::string& text, bool replaceExisting)
{
    // The new text goes into a file of its own beside the target first.
    std::string temp;
    int fd = -1;
    for (int n = 0; n < 100 && fd < 0; ++n) {
        temp = path + ".tmp" + (n ? std::to_string(n) : std::string());
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return WriteResult::Failed;
    }
    if (fd < 0) return WriteResult::Failed;
    bool ok = writeAll(fd, text);
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temp.c_str());
        return WriteResult::Failed;
    }
    WriteResult result = WriteResult::Written;
    if (replaceExisting) {
        if (::rename(temp.c_str(), path.c_str()) != 0) result = WriteResult::Failed;
    } else if (::link(temp.c_str(), path.c_str()) != 0) {
        // A hard link claims the name only if it is free. File systems
        // without links fall back to a check followed by a rename.
        if (errno == EEXIST)
            result = WriteResult::Exists;
        else if (fileExists(path))
            result = WriteResult::Exists;
        else if (::rename(temp.c_str(), path.c_str()) != 0)
            result = WriteResult::Failed;
    }
    ::unlink(temp.c_str());
    if (result == WriteResult::Written) syncFolderOf(path);
    return result;
}

int compareNames(const std::string& a, const std::string& b)
{
    locale_t locale = userLocale();
    std::wstring wa = decodeUtf8(a), wb = decodeUtf8(b);
    int result;
    if (locale) {
        for (wchar_t& c : wa) c = (wchar_t)::towlower_l((wint_t)c, locale);
        for (wchar_t& c : wb) c = (wchar_t)::towlower_l((wint_t)c, locale);
        result = ::wcscoll_l(wa.c_str(), wb.c_str(), locale);
    } else {
        result = std::wcscmp(wa.c_str(), wb.c_str());
    }
    return result < 0 ? -1 : result > 0 ? 1 : 0;
}

bool shellExecute(const char* verb, const std::string& target)
{
    (void)verb;  // xdg-open both shows folders and opens addresses
    const std::string program = findInPath("xdg-open");
    if (program.empty() || target.empty()) return false;
    // Everything the children need is made before forking.
    char* const argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(target.c_str()), nullptr};
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0) return false;
    pid_t child = ::fork();
    if (child < 0) {
        ::close(status[0]);
        ::close(status[1]);
        return false;
    }
    if (child == 0) {
        // The grandchild runs the opener; the child exits at once so that the
        // host never has to reap it.
        pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::setsid();
            ::execv(argv[0], argv);
            int error = errno;
            ssize_t ignored = ::write(status[1], &error, sizeof error);
            (void)ignored;
            ::_exit(127);
        }
        ::_exit(grandchild < 0 ? 1 : 0);
    }
    ::close(status[1]);
    int childStatus = 0;
    while (::waitpid(child, &childStatus, 0) < 0 && errno == EINTR) {}
    // The pipe closes without data when the opener has started.
    int error = 0;
    ssize_t n;
    while ((n = ::read(status[0], &error, sizeof error)) < 0 && errno == EINTR) {}
    ::close(status[0]);
    return WIFEXITED(childStatus) && WEXITSTATUS(childStatus) == 0 && n == 0;
}

}  // namespace os
}  // namespace Platform
