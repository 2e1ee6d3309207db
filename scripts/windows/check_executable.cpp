// The resources the .rc gives the executable: the application icon and the version block.
#include "check.h"

#include <windows.h>

#include <string>
#include <vector>

#ifndef GLIMMERDOCK_VERSION
#error "GLIMMERDOCK_VERSION names the version the .rc was made with"
#endif

namespace {

void applicationIcon() {
    for (int edge : {16, 32, 48, 256}) {
        const HANDLE icon =
            LoadImageW(GetModuleHandleW(nullptr), L"IDI_ICON1", IMAGE_ICON, edge, edge, 0);
        Check::expect(icon != nullptr, "the icon loads at " + std::to_string(edge));
        if (icon)
            DestroyIcon(static_cast<HICON>(icon));
    }
}

std::wstring versionString(const std::vector<char>& block, const wchar_t* name) {
    void* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &text, &length) || length == 0)
        return {};
    return static_cast<const wchar_t*>(text);
}

void versionInformation() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    Check::expect(size > 0, "the executable has version information");
    if (size == 0)
        return;
    std::vector<char> block(size);
    Check::expect(GetFileVersionInfoW(path, 0, size, block.data()), "the block reads");
    const std::string expected = GLIMMERDOCK_VERSION;
    const std::wstring version(expected.begin(), expected.end());
    Check::expect(versionString(block, L"ProductVersion") == version, "product version");
    Check::expect(versionString(block, L"ProductName") == L"Glimmerdock", "product name");
    Check::expect(versionString(block, L"CompanyName") == L"Kestrelby", "company name");
}

const Check::Register registered[] = {
    {"executable: application icon", applicationIcon},
    {"executable: version information", versionInformation},
};

} // namespace
