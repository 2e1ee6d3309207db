#include "exportquestions.h"

#include "form/folderbrowser.h"
#include "settings/settingsstore.h"

#include "trace/printablename.h"
#include "trace/trace.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

QString iconFolderKey() {
    return StoredSettings::key(SettingKey::IconFolder);
}

QString pngFolderKey() {
    return StoredSettings::key(SettingKey::PngFolder);
}

} // namespace

namespace ExportQuestions {

QString withSuffix(const QString& fileName, const QString& suffix) {
    if (suffix.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + QLatin1Char('.') + suffix;
}

QString failureMessage(const OutputFailures& failures) {
    QString text = failures.size() == 1 ? QStringLiteral("This file could not be written:")
                                        : QStringLiteral("These files could not be written:");
    text += QLatin1Char('\n');
    for (const OutputFailure& failure : failures) {
        text += QStringLiteral("\n%1\n    %2")
                    .arg(printableName(QDir::toNativeSeparators(failure.fileName)), failure.reason);
    }
    return text;
}

void reportFailures(QWidget* parent, const OutputFailures& failures) {
    if (failures.isEmpty())
        return;
    // Over the export dialog when it is still showing, so the warning is not hidden behind it.
    QWidget* owner = QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent;
    QMessageBox::warning(owner, QStringLiteral("Glimmerdock"), failureMessage(failures));
}

QString askFileName(QWidget* parent, const QString& title, const QString& filter,
                    const QString& suffix) {
    SettingsStore settings(SettingsGroup::Path);
    const QString startFolder = settings.value(iconFolderKey(), QDir::homePath()).toString();
    QFileDialog dialog(parent, title, startFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Added by the dialog itself, so its overwrite question covers the final name.
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString path = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    settings.setValue(iconFolderKey(), QFileInfo(path).dir().path());
    return path;
}

bool mayReplace(QWidget* parent, const QStringList& files) {
    int existing = 0;
    for (const QString& file : files)
        existing += QFileInfo::exists(file) ? 1 : 0;
    if (existing == 0)
        return true;
    // The folder all of them are in: a platform's set spreads over folders of its own.
    QString folder = QFileInfo(files.constFirst()).path();
    for (const QString& file : files) {
        while (QDir(folder).relativeFilePath(file).startsWith(QLatin1String("..")))
            folder = QFileInfo(folder).path();
    }
    const QString question =
        existing == 1 ? QStringLiteral("1 file in %2 would be replaced. Replace it?")
                      : QStringLiteral("%1 files in %2 would be replaced. Replace them?");
    return QMessageBox::question(
               QApplication::activeModalWidget() ? QApplication::activeModalWidget() : parent,
               QStringLiteral("Glimmerdock"),
               question.arg(existing).arg(QDir::toNativeSeparators(folder))) == QMessageBox::Yes;
}

bool chooseExportFolder(QString& folder) {
    SettingsStore settings(SettingsGroup::Path);
    const QString startFolder = settings.value(pngFolderKey(), documentsFolder()).toString();
    qCDebug(lcOutput).nospace().noquote() << pngFolderKey() << ": " << startFolder;
    folder = browseForFolder(QStringLiteral("Select folder ..."), startFolder);
    if (folder.isEmpty() || !QDir(folder).exists())
        return false;
    settings.setValue(pngFolderKey(), folder);
    return true;
}

QString browseForFolder(const QString& title, const QString& startFolder) {
    return QString::fromStdWString(
        FolderBrowser::browseForFolder(title.toStdWString(), startFolder.toStdWString()));
}

QString documentsFolder() {
    return QString::fromStdWString(FolderBrowser::documentsFolder());
}

} // namespace ExportQuestions
