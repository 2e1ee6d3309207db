#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writes through a temporary file beside `fileName` and renames it into place only when
// `writeContent` succeeded, so an existing file is replaced by a complete one or not at all.
// `writeContent` answers an empty text on success, otherwise the reason. Answers the same way.
QString commitFile(const QString& fileName, const std::function<QString(QIODevice&)>& writeContent);
