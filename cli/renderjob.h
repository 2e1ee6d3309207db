#pragma once

#include "document/document.h"
#include "output/exporttarget.h"
#include "output/outputfailure.h"

#include <QList>
#include <utility>

// One icon of the command line: a document rendered once and written to each of its targets
// with the targets the window's Go button uses, so the files are the same byte for byte.
struct RenderJob {
    Document document;
    QList<std::pair<const ExportTarget*, ExportTarget::Destination>> outputs;

    // Writes every target, going on past failures; answers those.
    OutputFailures run() const;
};
