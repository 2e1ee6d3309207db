#include "renderjob.h"

#include "render/iconrenderer.h"

OutputFailures RenderJob::run() const {
    const QImage rendering = renderDocumentIcon(document);
    OutputFailures failures;
    for (const auto& [target, destination] : outputs)
        failures += target->write(document, rendering, destination);
    return failures;
}
