#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

// Keeps unsaved changes on disk while a window runs, so a crash loses nothing: a short time after
// the last change the document is written as a recovery project (replaced whole or not at all),
// with the path of the project it belongs to beside it. Each window's files are locked while it
// runs; files whose lock has no living owner are what a crash left behind.
class CrashRecovery : public QObject {
    Q_OBJECT

public:
    // What a crash left: the recovery project and the project file it belongs to (may be empty).
    struct Left {
        QString recoveryFile;
        QString projectPath;
    };

    // `snapshot` answers the document as project bytes when it is time to write it.
    CrashRecovery(std::function<QByteArray()> snapshot, int delayMs, QObject* parent = nullptr,
                  const QString& folder = defaultFolder());
    ~CrashRecovery() override;

    static QString defaultFolder();

    // The document changed: with unsaved changes it is written `delay` after the last call;
    // without (saved, or undone back to the saved state) the recovery file goes.
    void documentChanged(bool unsaved, const QString& projectPath);

    // The newest recovery file no running window owns, if any, taken over by this one until
    // forget() drops it.
    std::optional<Left> leftBehind();
    // Removes what leftBehind() answered.
    void forget(const Left& left);

private:
    QString folder;
    QString ownFile;
    std::unique_ptr<QLockFile> ownLock;
    std::function<QByteArray()> snapshot;
    QString projectPath;
    QTimer timer;

    void write();
    void removeOwn();
};
