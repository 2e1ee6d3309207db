#include "outputfailure.h"

#include "document/layer.h"
#include "picture/vectorpicture.h"

OutputFailures drawingFailures(const QList<Layer>& layers) {
    OutputFailures failures;
    for (const Layer& layer : layers) {
        const QString failure = layer.vector ? layer.vector->drawingFailure() : QString();
        if (!failure.isEmpty())
            failures.append({layer.filePath, failure});
    }
    return failures;
}
