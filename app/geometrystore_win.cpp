// The registry side of the window geometry store: Win32 only, no Qt, so it builds on its own.
#include "geometrystore.h"

#include <windows.h>

namespace {

bool readRegistryDword(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
                       DWORD* value) {
    DWORD result = 0;
    DWORD size = sizeof(result);
    // Read into a local first, so a failed read never leaves a partial value behind.
    if (RegGetValueW(root, subKey.c_str(), valueName.c_str(), RRF_RT_REG_DWORD, nullptr, &result,
                     &size) != ERROR_SUCCESS) {
        GeometryStore::trace(subKey + L" : " + valueName + L" : Cannot read DWORD from registry.");
        return false;
    }
    *value = result;
    return true;
}

bool writeRegistryDword(HKEY root, const std::wstring& subKey, const std::wstring& valueName,
                        DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    if (RegSetValueExW(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value)) == ERROR_SUCCESS)
        GeometryStore::trace(L"true");
    RegCloseKey(key);
    return true;
}

} // namespace

namespace GeometryStore {

bool readValue(const std::wstring& valueName, uint32_t* value) {
    DWORD dword = *value;
    const bool ok = readRegistryDword(HKEY_CURRENT_USER, subKey, valueName, &dword);
    *value = dword;
    return ok;
}

void readValues(std::initializer_list<NamedValue> values) {
    for (const NamedValue& named : values)
        readValue(named.name, named.value);
}

bool writeValue(const std::wstring& valueName, uint32_t value) {
    return writeRegistryDword(HKEY_CURRENT_USER, subKey, valueName, value);
}

ScreenSize screenSize() {
    const int width = GetSystemMetrics(SM_CXFULLSCREEN);
    const int height = GetSystemMetrics(SM_CYFULLSCREEN);
    return {static_cast<uint32_t>(width > 0 ? width : 0),
            static_cast<uint32_t>(height > 0 ? height : 0)};
}

} // namespace GeometryStore
