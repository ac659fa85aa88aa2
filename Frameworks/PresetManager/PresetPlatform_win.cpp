// Files, folders and shell on Windows (ANSI file functions, as the module
// path and the preset paths are handled as 8-bit texts).
#include "Frameworks/PresetManager/PresetPlatformOS.h"

#include <windows.h>
#include <shellapi.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace Platform {

char pathSeparator() { return '\\'; }

namespace os {

namespace {

// An address inside this module: it names the module whose file we want.
void moduleMarker() {}

std::wstring toWide(const std::string& text)
{
    if (text.empty()) return std::wstring();
    int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide((size_t)length, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), (int)text.size(), &wide[0], length);
    return wide;
}

}  // namespace

std::string moduleFilePath()
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCSTR>(&moduleMarker), &module))
        module = nullptr;
    char buffer[1024];
    DWORD length = ::GetModuleFileNameA(module, buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) return std::string();
    return std::string(buffer, length);
}

// The listing path (folder, separator, "*") must fit MAX_PATH.
size_t maxListedFolderLength() { return 257; }

bool listFolder(const std::string& folder, std::vector<DirEntry>& entries)
{
    char full[MAX_PATH];
    DWORD length = ::GetFullPathNameA(folder.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return false;
    std::string pattern(full, length);
    if (pattern.back() != '\\' && pattern.back() != ':') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        DirEntry entry;
        entry.name = data.cFileName;
        if (entry.name == "." || entry.name == "..") continue;
        entry.isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entry.isFile = !entry.isDirectory && (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) == 0;
        entries.push_back(entry);
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
    return true;
}

bool folderIdentity(const std::string& path, FolderId& id)
{
    // Opening a folder needs the backup-semantics flag; without the
    // open-reparse-point flag a junction or link is followed to its target.
    HANDLE handle =
        ::CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(handle, &info) != 0 &&
                    (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
                    (info.nFileIndexHigh != 0 || info.nFileIndexLow != 0);
    ::CloseHandle(handle);
    if (!ok) return false;
    id.device = info.dwVolumeSerialNumber;
    id.index = (uint64_t)info.nFileIndexHigh << 32 | info.nFileIndexLow;
    return true;
}

bool fileExists(const std::string& path)
{
    struct _stat64 st;
    return ::_stat64(path.c_str(), &st) == 0;
}

bool createFolder(const std::string& path)
{
    if (::CreateDirectoryA(path.c_str(), nullptr)) return true;
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

WriteResult writeTextFile(const std::string& path, const std::string& text, bool replaceExisting)
{
    // The new text goes into a file of its own beside the target first.
    std::string temp;
    int fd = -1;
    for (int n = 0; n < 100 && fd < 0; ++n) {
        temp = path + ".tmp" + (n ? std::to_string(n) : std::string());
        fd = ::_open(temp.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_TEXT, _S_IREAD | _S_IWRITE);
        if (fd < 0 && errno != EEXIST) return WriteResult::Failed;
    }
    if (fd < 0) return WriteResult::Failed;
    bool ok = true;
    size_t done = 0;
    while (ok && done < text.size()) {
        const size_t chunk = text.size() - done < 65536 ? text.size() - done : 65536;
        int n = ::_write(fd, text.data() + done, (unsigned)chunk);
        if (n <= 0)
            ok = false;
        else
            done += (size_t)n;
    }
    ok = ::_commit(fd) == 0 && ok;
    ok = ::_close(fd) == 0 && ok;
    if (!ok) {
        ::DeleteFileA(temp.c_str());
        return WriteResult::Failed;
    }
    WriteResult result = WriteResult::Written;
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!::MoveFileExA(temp.c_str(), path.c_str(), flags)) {
        DWORD error = ::GetLastError();
        result =
            (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) ? WriteResult::Exists : WriteResult::Failed;
        ::DeleteFileA(temp.c_str());
    }
    return result;
}

int compareNames(const std::string& a, const std::string& b)
{
    std::wstring wa = toWide(a), wb = toWide(b);
    if ((wa.empty() && !a.empty()) || (wb.empty() && !b.empty())) return 0;
    int result = ::CompareStringW(::GetUserDefaultLCID(), NORM_IGNORECASE, wa.c_str(), (int)wa.size(), wb.c_str(),
                                  (int)wb.size());
    if (result == CSTR_LESS_THAN) return -1;
    if (result == CSTR_GREATER_THAN) return 1;
    return 0;
}

bool shellExecute(const char* verb, const std::string& target)
{
    HINSTANCE result = ::ShellExecuteA(nullptr, verb, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace os
}  // namespace Platform
