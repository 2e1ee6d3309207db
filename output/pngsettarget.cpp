#include "output/exporttarget.h"
#include "output/pngwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Square PNG files of the document's PNG sizes, named "<n>x<n>.png", in one folder.
class PngSetTarget : public ExportTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("PNG Files"); }
    QString key() const override { return QStringLiteral("png"); }
    bool asksForFile() const override { return false; }
    bool asksForSizes() const override { return true; }

    Destination batchDestination(const QString& folder, const QString& name) const override {
        return {QDir(folder).filePath(name), name};
    }

    QList<int> sizes(const Document& document) const override { return document.output.pngSizes; }

    QStringList filesBeyondTheChosen(const Document& document,
                                     const Destination& destination) const override {
        QStringList files;
        for (int size : sizes(document))
            files << pngFileName(destination.path, size);
        return files;
    }

    OutputFailures write(const Document& document, const QImage& rendering,
                         const Destination& destination, PngEncodings& encodings) const override {
        if (const auto failure = makeFolder(destination.path, destination.path))
            return {*failure};
        return writePngImages(
            pendingPngs(destination.path, sizes(document), SizedIcon(document, rendering)),
            encodings);
    }

    QString writtenMessage(const Document& document, const Destination& destination,
                           const OutputFailures& failures) const override {
        const int written = int(sizes(document).size() - failures.size());
        if (written <= 0)
            return QString();
        return tr("Wrote %n PNG file(s) to %1", nullptr, written)
            .arg(QDir::toNativeSeparators(destination.path));
    }
};

} // namespace

const ExportTarget& pngSetTarget() {
    static const PngSetTarget target;
    return target;
}
