// Per-user settings of the editor (its size and colour scheme), kept between
// sessions: in the registry under HKEY_CURRENT_USER on Windows, in a small
// text file under $XDG_CONFIG_HOME (default ~/.config) on Linux.
//
// A store is named by a key path such as "Software\Zentorial\Ondrel"; on
// Linux its last part names the folder ($XDG_CONFIG_HOME/Ondrel/settings).
// Every failure is silent: a read that fails (missing, unreadable or garbled
// value) answers false and leaves the caller's default; a write that fails
// leaves the old value.
#pragma once

#include <cstdint>
#include <string>

namespace Platform {

class SettingsStore {
public:
    explicit SettingsStore(std::string keyPath) : keyPath(std::move(keyPath)) {}

    // A single-precision float (REG_BINARY of 4 bytes on Windows).
    bool readFloat(const char* name, float& value) const;
    bool writeFloat(const char* name, float value) const;
    // A 32-bit unsigned number (REG_DWORD on Windows).
    bool readNumber(const char* name, uint32_t& value) const;
    bool writeNumber(const char* name, uint32_t value) const;

    const std::string& getKeyPath() const { return keyPath; }
    // Linux: the settings file this store reads and writes (empty when no
    // home folder is known). Windows: empty.
    std::string filePath() const;

private:
    std::string keyPath;
};

}  // namespace Platform
