// Opening addresses through the Windows shell: Win32 only, no Qt, so it builds on its own.
#include "shellopen.h"

#include <windows.h>

#include <shellapi.h>

namespace ShellOpen {

bool openAddress(const std::wstring& address) {
    // Without a verb the shell runs the default action for the address: the default browser.
    const HINSTANCE result =
        ShellExecuteW(nullptr, nullptr, address.c_str(), nullptr, nullptr, SW_SHOW);
    // Values above 32 mean success; the handle is only an error code in disguise.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace ShellOpen
