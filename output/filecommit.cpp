#include "filecommit.h"

#include <QSaveFile>

QString commitFile(const QString& fileName,
                   const std::function<QString(QIODevice&)>& writeContent) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QString reason = writeContent(file);
    if (!reason.isEmpty()) {
        file.cancelWriting();
        return reason;
    }
    // A failed write on the device leaves QSaveFile in an error state that commit() reports.
    if (!file.commit())
        return file.errorString();
    return QString();
}
