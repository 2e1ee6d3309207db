#pragma once

#include "output/lexportimage.h"
#include "output/outputfailure.h"

#include <QList>

// Writes every image to its file as PNG, in list order, going on past failures. An existing file
// is replaced only by a complete new one. Answers the files that could not be written.
OutputFailures writePngImages(const QList<LExportImage>& images);
