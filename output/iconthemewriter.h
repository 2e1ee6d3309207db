#pragma once

#include "output/outputfailure.h"
#include "output/pngencodings.h"
#include "render/sizedicon.h"

#include <QImage>
#include <QList>
#include <QString>

// The Linux icon theme tree an application installs under share/icons:
// FOLDER/hicolor/<n>x<n>/apps/<name>.png, each the icon at its size as the PNG set holds it.
namespace IconThemeWriter {

// 16 to 512: software stores refuse larger application icons.
QList<int> sizes();

QString fileName(const QString& folder, const QString& name, int size);

// Creates the folders and writes every size, and the theme's index when the folder has none;
// goes on past failures and answers those.
OutputFailures write(const QString& folder, const QString& name, const SizedIcon& icon,
                     PngEncodings& encodings);

} // namespace IconThemeWriter
