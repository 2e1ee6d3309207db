#include "folderbrowser.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shlobj.h>

#include <algorithm>

namespace {

// Shell buffers hold MAX_PATH units including the terminating zero.
using PathBuffer = wchar_t[MAX_PATH];

// Copies `text` into `buffer`, cut to fit; answers false when it had to be cut.
bool copyToBuffer(const std::wstring& text, PathBuffer& buffer) {
    const size_t length = std::min(text.size(), size_t(MAX_PATH - 1));
    text.copy(buffer, length);
    buffer[length] = L'\0';
    return length == text.size();
}

int CALLBACK selectStartFolder(HWND window, UINT message, LPARAM, LPARAM startFolder) {
    if (message == BFFM_INITIALIZED)
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, startFolder);
    return 0;
}

void freeItemList(LPITEMIDLIST items) {
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        allocator->Free(items);
        allocator->Release();
    } else {
        CoTaskMemFree(items);
    }
}

} // namespace

namespace FolderBrowser {

std::wstring browseForFolder(const std::wstring& title, const std::wstring& startFolder) {
    PathBuffer titleBuffer;
    PathBuffer startBuffer;
    PathBuffer displayName;
    copyToBuffer(title, titleBuffer);
    // A cut path would name some other folder: a start folder too long to fit is not used.
    const bool startFits = copyToBuffer(startFolder, startBuffer);

    BROWSEINFOW info = {};
    info.hwndOwner = nullptr;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = titleBuffer;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = startFits ? selectStartFolder : nullptr;
    info.lParam = reinterpret_cast<LPARAM>(startBuffer);

    LPITEMIDLIST items = SHBrowseForFolderW(&info);
    if (!items)
        return std::wstring();
    PathBuffer path;
    const bool hasPath = SHGetPathFromIDListW(items, path) != FALSE;
    freeItemList(items);
    return hasPath ? std::wstring(path) : std::wstring();
}

std::wstring documentsFolder() {
    PathBuffer path;
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return std::wstring(path);
}

} // namespace FolderBrowser
