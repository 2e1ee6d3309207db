#include "renderjob.h"

#include "render/iconrenderer.h"

#include <QThreadPool>
#include <QtConcurrent>

// The targets are written side by side, on threads of their own: the .ico and .icns writers work
// on one core each, so the platforms' sets fill the others. The writers wait for their pictures on
// the encoding pool, whose tasks wait for nothing; Qt's global pool, where Qt scales and draws
// images in parts, is never made to wait.
OutputFailures RenderJob::run() const {
    static QThreadPool targets;
    using Output = std::pair<const ExportTarget*, ExportTarget::Destination>;
    const QImage rendering = renderDocumentIcon(document);
    PngEncodings encodings;
    const QList<OutputFailures> written =
        QtConcurrent::blockingMapped(&targets, outputs, [&](const Output& output) {
            return output.first->write(document, rendering, output.second, encodings);
        });
    OutputFailures failures;
    for (const OutputFailures& some : written)
        failures += some;
    return failures + drawingFailures(document.layers);
}
