#include "renderjob.h"

#include "output/icnswriter.h"
#include "output/iconthemewriter.h"
#include "output/icowriter.h"
#include "output/pngwriter.h"
#include "render/iconrenderer.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A script names folders it expects to be made, as `mkdir -p` would; answers why one cannot be.
std::optional<OutputFailure> makeFolder(const QString& folder, const QString& target) {
    if (QDir().mkpath(folder))
        return std::nullopt;
    return OutputFailure{target, QStringLiteral("cannot create the folder %1").arg(folder)};
}

} // namespace

OutputFailures RenderJob::run() const {
    const QImage rendering =
        IconRenderer(document.style.canvasSizeIndex).renderIcon(document.style, document.layers);
    OutputFailures failures;
    if (!targets.icoFile.isEmpty()) {
        if (const auto failure = writeIco(rendering))
            failures.append(*failure);
    }
    if (!targets.pngFolder.isEmpty())
        failures += writePngSet(rendering);
    if (!targets.icnsFile.isEmpty()) {
        if (const auto failure = writeIcns(rendering))
            failures.append(*failure);
    }
    if (!targets.hicolorFolder.isEmpty())
        failures += IconThemeWriter::write(targets.hicolorFolder, name, rendering);
    return failures;
}

std::optional<OutputFailure> RenderJob::writeIco(const QImage& rendering) const {
    if (auto failure = makeFolder(QFileInfo(targets.icoFile).path(), targets.icoFile))
        return failure;
    const int k = document.style.canvasSizeIndex;
    const QList<int> sizes = IconSizes::entrySizes(iconSizes, rendering.width(), k);
    return writeIconEntries(targets.icoFile, iconEntryImages(rendering, sizes, iconSizes.sharp,
                                                             document.style, document.layers, k));
}

OutputFailures RenderJob::writePngSet(const QImage& rendering) const {
    if (const auto failure = makeFolder(targets.pngFolder, targets.pngFolder))
        return {*failure};
    return writePngImages(pendingPngs(targets.pngFolder, pngSizes, rendering));
}

std::optional<OutputFailure> RenderJob::writeIcns(const QImage& rendering) const {
    if (auto failure = makeFolder(QFileInfo(targets.icnsFile).path(), targets.icnsFile))
        return failure;
    return IcnsWriter::write(targets.icnsFile, rendering);
}
