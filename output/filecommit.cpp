#include "filecommit.h"

#include <QSaveFile>

QString commitFile(const QString& fileName,
                   const std::function<QString(QIODevice&)>& writeContent) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QString reason = writeContent(file);
    // Flushed here because commit() does not notice when the last buffered bytes fail to reach
    // the disk (a full disk, a file-size limit) and would put the cut file in place.
    if (reason.isEmpty() && !file.flush())
        reason = file.errorString();
    if (!reason.isEmpty()) {
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
