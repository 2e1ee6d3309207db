#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Where the main window's position and size live between runs: the registry of the current user
// on Windows, a settings file elsewhere. Plain types only, so the Windows side builds without Qt.
namespace GeometryStore {

// Registry key below HKEY_CURRENT_USER; the settings file elsewhere uses the same names.
inline constexpr wchar_t subKey[] = L"Software\\Kestrelby\\Glimmerdock";
inline constexpr wchar_t posXName[] = L"posX";
inline constexpr wchar_t posYName[] = L"posY";
inline constexpr wchar_t widthName[] = L"width";
inline constexpr wchar_t heightName[] = L"height";

struct ScreenSize {
    uint32_t width = 0;
    uint32_t height = 0;
};

// Reads one 32-bit value into `value`; answers false and leaves `value` as it was when the value
// is missing or of another type.
bool readValue(const std::wstring& valueName, uint32_t* value);

struct NamedValue {
    const wchar_t* name;
    uint32_t* value;
};

// Reads several values with the store opened once; each one missing or of another type keeps its
// value.
void readValues(std::initializer_list<NamedValue> values);

// Writes one 32-bit value, creating the key when missing; answers whether the key could be opened.
bool writeValue(const std::wstring& valueName, uint32_t value);

// Width and height of a maximised window's client area on the primary screen; 0 where unknown.
ScreenSize screenSize();

// Receives every trace line of the store; the application passes them to its debug log.
void trace(const std::wstring& line);

} // namespace GeometryStore
