#include "filesettarget.h"

#include "output/filecommit.h"
#include "output/pngwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString pathIn(const QString& folder, const QString& path) {
    return QDir::toNativeSeparators(QDir(folder).filePath(path));
}

struct Translation {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)
};

} // namespace

ExportTarget::Destination FileSetTarget::batchDestination(const QString& folder,
                                                          const QString& name) const {
    return {QDir(folder).filePath(name), name};
}

QStringList FileSetTarget::filesBeyondTheChosen(const Document& document,
                                                const Destination& destination) const {
    QStringList paths;
    for (const QString& path : fileNames(document))
        paths << pathIn(destination.path, path);
    return paths;
}

OutputFailures FileSetTarget::write(const Document& document, const QImage& rendering,
                                    const Destination& destination) const {
    if (const auto failure = makeFolder(destination.path, destination.path))
        return {*failure};
    OutputFailures failures;
    QList<PendingPng> pngs;
    for (const File& file : files(document, rendering, destination.name)) {
        const QString path = pathIn(destination.path, file.path);
        if (const auto failure = makeFolder(QFileInfo(path).path(), path)) {
            failures << *failure;
        } else if (!file.image.isNull()) {
            pngs.append({path, file.image});
        } else if (const QString reason = commitFile(path, file.bytes); !reason.isEmpty()) {
            failures.append({path, reason});
        }
    }
    return failures + writePngImages(pngs);
}

QString FileSetTarget::writtenMessage(const Document& document, const Destination& destination,
                                      const OutputFailures& failures) const {
    const int written = int(fileNames(document).size() - failures.size());
    if (written <= 0)
        return QString();
    const QString message = Translation::tr("Wrote %n file(s) to %1", nullptr, written)
                                .arg(QDir::toNativeSeparators(destination.path));
    const QString more = remark(document);
    return more.isEmpty() ? message : message + QStringLiteral(" (") + more + QLatin1Char(')');
}
