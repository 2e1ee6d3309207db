#include "folderbrowser.h"

#include <QApplication>
#include <QFileDialog>
#include <QStandardPaths>
#include <QString>

namespace FolderBrowser {

std::wstring browseForFolder(const std::wstring& title, const std::wstring& startFolder) {
    // Opened over whatever modal dialog is showing (the export dialog), as the shell's browser is.
    const QString folder = QFileDialog::getExistingDirectory(QApplication::activeModalWidget(),
                                                             QString::fromStdWString(title),
                                                             QString::fromStdWString(startFolder));
    return folder.toStdWString();
}

std::wstring documentsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdWString();
}

} // namespace FolderBrowser
