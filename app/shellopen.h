#pragma once

#include <string>

namespace ShellOpen {

// Opens a web address with the desktop's default handler (the browser); answers whether the
// desktop took it. Plain types, so the Windows side builds without Qt.
bool openAddress(const std::wstring& address);

} // namespace ShellOpen
