#include "filecommit.h"

#include <QSaveFile>

QString commitFile(const QString& fileName, const QByteArray& bytes) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Flushed here because commit() does not notice when the last buffered bytes fail to reach
    // the disk (a full disk, a file-size limit) and would put the cut file in place.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
