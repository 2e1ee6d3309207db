#include "shellopen.h"

#include <QDesktopServices>
#include <QUrl>

namespace ShellOpen {

bool openAddress(const std::wstring& address) {
    return QDesktopServices::openUrl(QUrl(QString::fromStdWString(address)));
}

} // namespace ShellOpen
