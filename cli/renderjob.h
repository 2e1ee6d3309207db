#pragma once

#include "cli/renderrequest.h"

#include "document/document.h"
#include "output/iconsizes.h"
#include "output/outputfailure.h"

#include <QImage>
#include <QList>
#include <QString>

// One icon of the command line: a document rendered once and written to each of its targets
// with the writers the window's Go button uses, so the files are the same byte for byte.
struct RenderJob {
    Document document;
    // The icon file's entries as the project chose them.
    IconSizeChoice iconSizes;
    QList<int> pngSizes;
    // The icon's name in the Linux icon theme.
    QString name;
    RenderTargets targets;

    // Writes every target, going on past failures; answers those.
    OutputFailures run() const;

private:
    std::optional<OutputFailure> writeIco(const QImage& rendering) const;
    OutputFailures writePngSet(const QImage& rendering) const;
    std::optional<OutputFailure> writeIcns(const QImage& rendering) const;
};
