#pragma once

#include <QByteArray>
#include <QString>

// Writes `bytes` to a temporary file beside `fileName` and renames it into place only when every
// byte reached the disk, so an existing file is replaced by a complete one or not at all.
// Answers an empty text on success, otherwise the reason.
QString commitFile(const QString& fileName, const QByteArray& bytes);
