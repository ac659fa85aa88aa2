// Files, folders and shell for the preset library: the data folder beside
// the plug-in's module file, the preset folders, directory walks, unique
// file names, safe file writes, locale-aware name comparison, and the
// system shell. One source file per OS implements the OS parts.
//
// Tests and headless hosts: ONDREL_NO_DIALOGS=1 makes the shell calls record
// instead of executing (a line on the standard error stream, and a line
// "verb|target" appended to the file named by ONDREL_SHELL_LOG when set); an
// in-process test can install a recorder. setDataFolderOverride points the
// data folder elsewhere, since a test program is not the plug-in module.
#pragma once

#include <string>

namespace Platform {

// Receives what walkDirectoryTree finds. enterDirectory answers a token that
// the walk hands back to leaveDirectory after the sub-folder.
class DirTreeCallback {
public:
    virtual void onFile(const std::string& path) = 0;
    virtual std::string enterDirectory(const std::string& name) = 0;
    virtual void leaveDirectory(const std::string& token) = 0;

protected:
    ~DirTreeCallback() = default;
};

// The platform's path separator ("\" on Windows, "/" elsewhere).
char pathSeparator();

// The folder that holds the plug-in's module file, ending with a separator.
// A result shorter than 6 characters is shown to the user ("Plugin Data not
// found!") and used all the same.
std::string dataFolder();
// The factory (user false) or user (user true) preset folder, ending with a
// separator. The first call computes both; the user folder is created then.
std::string presetFolder(bool user);
// Data folder + relative path.
std::string pluginDataPath(const std::string& relativePath);
// Tests: use `folder` as the data folder (empty: the module's folder again);
// forgets every computed folder.
void setDataFolderOverride(const std::string& folder);

// Walks `folder`: files whose names end with `extension` go to onFile,
// sub-folders not beginning with "." are walked between enterDirectory and
// leaveDirectory. Depth 1: this folder only; depth n: n levels; 0: no limit
// (32 levels at most). Links and junctions are followed, but each real
// folder is walked once, and never one at or above `folder`.
void walkDirectoryTree(const std::string& folder, DirTreeCallback& callback, const std::string& extension, int depth);

// The file name (without folder and extension) under which a preset name
// is saved: every byte that a file system may refuse or read as a path is
// replaced; the result is never empty, never a device name, and of bounded
// length.
std::string presetFileBaseName(const std::string& name);
// folder + base name + (n when n > 0) + "." + extension for the first n at
// which no file exists; empty text when no free name was found.
std::string uniquePresetFileName(const std::string& folder, const std::string& name, const std::string& extension);

bool fileExists(const std::string& path);
// Creates one folder; true when it exists afterwards.
bool createFolder(const std::string& path);

enum class WriteResult { Written, Exists, Failed };
// Writes `text` in text mode into a new file beside `path` and then puts it
// in place: an existing file is replaced only with the whole new text (when
// replaceExisting) or left alone (Exists). On failure the old file is as it
// was and no temporary file remains.
WriteResult writeTextFile(const std::string& path, const std::string& text, bool replaceExisting);

// Compares two UTF-8 texts in the user's locale, ignoring case: -1, 0, 1
// (0 as well when the comparison fails).
int compareNames(const std::string& a, const std::string& b);

// Shows a folder in the file browser / opens a document or web address.
// True when the shell accepted the request.
bool exploreFolder(const std::string& path);
bool openInShell(const std::string& target);

// Receives shell requests instead of the shell (verb "explore" or "open");
// its answer is the call's result. Null removes it.
using ShellRecorder = bool (*)(const char* verb, const char* target);
void setShellRecorder(ShellRecorder recorder);

}  // namespace Platform
