#include "output/exporttarget.h"
#include "output/icnswriter.h"
#include "render/platformart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The macOS icon file.
class IcnsTarget : public ExportTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("macOS (.icns)"); }
    QString key() const override { return QStringLiteral("icns"); }
    bool asksForFile() const override { return true; }
    QString fileDialogTitle() const override { return tr("Create macOS Icon File"); }
    QString fileFilter() const override { return tr("macOS icon file (*.icns)"); }
    QString suffix() const override { return QStringLiteral("icns"); }

    Destination batchDestination(const QString& folder, const QString& name) const override {
        return {QDir(folder).filePath(name + QStringLiteral(".icns")), name};
    }

    QList<int> sizes(const Document&) const override { return {16, 32, 64, 128, 256, 512, 1024}; }

    QImage artwork(const Document& document, const QImage& rendering) const override {
        return PlatformArt::macArtwork(document, rendering);
    }

    OutputFailures write(const Document& document, const QImage& rendering,
                         const Destination& destination, PngEncodings& encodings) const override {
        if (auto failure = makeFolder(QFileInfo(destination.path).path(), destination.path))
            return {*failure};
        if (auto failure =
                IcnsWriter::write(destination.path, sizedIcon(document, rendering), encodings))
            return {*failure};
        return {};
    }

    QString writtenMessage(const Document&, const Destination& destination,
                           const OutputFailures& failures) const override {
        return failures.isEmpty() ? tr("Wrote %1").arg(QFileInfo(destination.path).fileName())
                                  : QString();
    }
};

} // namespace

const ExportTarget& icnsTarget() {
    static const IcnsTarget target;
    return target;
}
