#include "crashrecovery.h"

#include "output/filecommit.h"
#include "settings/storedsettings.h"
#include "trace/trace.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUuid>

#include <utility>

namespace {

QString pathFileOf(const QString& recoveryFile) {
    return recoveryFile + QStringLiteral(".path");
}

QString lockFileOf(const QString& recoveryFile) {
    return recoveryFile + QStringLiteral(".lock");
}

} // namespace

CrashRecovery::CrashRecovery(std::function<QByteArray()> snapshot, int delayMs, QObject* parent,
                             const QString& folder)
    : QObject(parent), folder(folder), snapshot(std::move(snapshot)) {
    QDir().mkpath(folder);
    ownFile = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) +
                                    QStringLiteral(".glimmer"));
    ownLock = std::make_unique<QLockFile>(lockFileOf(ownFile));
    ownLock->tryLock(0);
    timer.setSingleShot(true);
    timer.setInterval(delayMs);
    connect(&timer, &QTimer::timeout, this, &CrashRecovery::write);
}

// Ended normally, nothing needs recovering.
CrashRecovery::~CrashRecovery() {
    removeOwn();
}

QString CrashRecovery::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(StoredSettings::dataFolder() + QStringLiteral("/recovery"));
}

void CrashRecovery::documentChanged(bool unsaved, const QString& path) {
    projectPath = path;
    if (unsaved) {
        timer.start();
        return;
    }
    timer.stop();
    removeOwn();
}

void CrashRecovery::write() {
    const QString failure = commitFile(ownFile, snapshot());
    if (failure.isEmpty())
        commitFile(pathFileOf(ownFile), projectPath.toUtf8());
    else
        qCWarning(lcApp) << "cannot keep the unsaved changes in" << ownFile << failure;
}

void CrashRecovery::removeOwn() {
    QFile::remove(ownFile);
    QFile::remove(pathFileOf(ownFile));
}

std::optional<CrashRecovery::Left> CrashRecovery::leftBehind() {
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.glimmer")}, QDir::Files, QDir::Time);
    for (const QFileInfo& file : files) {
        const QString path = file.absoluteFilePath();
        if (path == QFileInfo(ownFile).absoluteFilePath())
            continue;
        // A lock whose owner has died is stale at once; a living window's lock is not taken.
        QLockFile lock(lockFileOf(path));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        QFile projectFile(pathFileOf(path));
        const QString project = projectFile.open(QIODevice::ReadOnly)
                                    ? QString::fromUtf8(projectFile.read(64 * 1024))
                                    : QString();
        lock.unlock();
        return Left{path, project};
    }
    return std::nullopt;
}

void CrashRecovery::forget(const Left& left) {
    QFile::remove(left.recoveryFile);
    QFile::remove(pathFileOf(left.recoveryFile));
    QFile::remove(lockFileOf(left.recoveryFile));
}
