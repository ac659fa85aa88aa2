// Windows: values of the key HKEY_CURRENT_USER\<key path>: floats as
// REG_BINARY of 4 bytes, numbers as REG_DWORD. A value of another type or
// size counts as missing. Writing creates the key when needed and flushes it.
#include "Settings.h"

#include <windows.h>

#include <cmath>
#include <cstring>

namespace Platform {

namespace {

bool readRaw(const std::string& keyPath, const char* name, DWORD expectedType, void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0;
    DWORD got = size;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, static_cast<BYTE*>(data), &got);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == expectedType && got == size;
}

bool writeRaw(const std::string& keyPath, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegFlushKey(key);
    RegCloseKey(key);
    return ok;
}

}  // namespace

std::string SettingsStore::filePath() const { return {}; }

bool SettingsStore::readFloat(const char* name, float& value) const
{
    float v = 0;
    if (!readRaw(keyPath, name, REG_BINARY, &v, sizeof v) || !std::isfinite(v)) return false;
    value = v;
    return true;
}

bool SettingsStore::writeFloat(const char* name, float value) const
{
    return writeRaw(keyPath, name, REG_BINARY, &value, sizeof value);
}

bool SettingsStore::readNumber(const char* name, uint32_t& value) const
{
    DWORD v = 0;
    if (!readRaw(keyPath, name, REG_DWORD, &v, sizeof v)) return false;
    value = v;
    return true;
}

bool SettingsStore::writeNumber(const char* name, uint32_t value) const
{
    DWORD v = value;
    return writeRaw(keyPath, name, REG_DWORD, &v, sizeof v);
}

}  // namespace Platform
