#pragma once

#include <string>

// The platform's folder chooser and the user's Documents folder. Plain wide strings, so the
// Windows implementation needs nothing but the Windows headers.
namespace FolderBrowser {

// Lets the user pick a folder, opening at `startFolder`; empty when cancelled.
std::wstring browseForFolder(const std::wstring& title, const std::wstring& startFolder);

// The current user's Documents folder; empty when the platform cannot tell.
std::wstring documentsFolder();

} // namespace FolderBrowser
