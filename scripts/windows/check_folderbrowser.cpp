// The Windows side of the folder browser: the start folder it falls back to.
#include "check.h"

#include "form/folderbrowser.h"

#include <windows.h>

namespace {

void documentsFolder() {
    const std::wstring folder = FolderBrowser::documentsFolder();
    Check::expect(!folder.empty(), "the Documents folder has a path");
    Check::expect(folder.size() >= 3 && folder[1] == L':', "the path is absolute");
}

const Check::Register registered("folder browser: Documents folder", documentsFolder);

} // namespace
