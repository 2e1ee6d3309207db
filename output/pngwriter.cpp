#include "pngwriter.h"

#include "output/filecommit.h"

#include "model/trace.h"

#include <QIODevice>
#include <QImageWriter>

OutputFailures writePngImages(const QList<LExportImage>& images) {
    OutputFailures failures;
    QImageWriter writer;
    writer.setFormat("PNG");
    writer.setOptimizedWrite(true);
    writer.setProgressiveScanWrite(true);
    for (const LExportImage& entry : images) {
        const QString reason = commitFile(entry.fileName, [&](QIODevice& device) {
            writer.setDevice(&device);
            const QString error = writer.write(entry.image) ? QString() : writer.errorString();
            writer.setDevice(nullptr);
            return error;
        });
        if (reason.isEmpty())
            continue;
        qCDebug(lcOutput).nospace().noquote() << "Cannot overwrite: " << entry.fileName;
        failures.append({entry.fileName, reason});
    }
    return failures;
}
