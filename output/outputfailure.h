#pragma once

#include <QList>
#include <QString>

// One file that could not be written, and why, so the form can tell the user once for all.
struct OutputFailure {
    QString fileName;
    QString reason;
};

using OutputFailures = QList<OutputFailure>;

struct Layer;

// Each SVG layer of `layers` that could not be drawn (its placeholder is in the files), named by
// its file and why.
OutputFailures drawingFailures(const QList<Layer>& layers);
