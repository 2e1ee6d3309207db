#include "output/exporttarget.h"
#include "output/iconsizes.h"
#include "output/icowriter.h"
#include "render/sizedicon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The Windows icon file: the entries the document chose, the small ones sharp if it says so.
class IcoTarget : public ExportTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Windows"); }
    QString key() const override { return QStringLiteral("ico"); }
    bool asksForFile() const override { return true; }
    QString fileDialogTitle() const override { return QStringLiteral("Create Icon File"); }
    QString fileFilter() const override { return QStringLiteral("Icon file (*.ico)"); }
    QString suffix() const override { return QStringLiteral("ico"); }

    Destination batchDestination(const QString& folder, const QString& name) const override {
        return {QDir(folder).filePath(name + QStringLiteral(".ico")), name};
    }

    QList<int> sizes(const Document& document) const override {
        const int k = document.style.canvasFactor;
        return IconSizes::entrySizes(choice(document), 256 * k);
    }

    // The entries themselves, as write() makes them.
    QList<PreviewPicture> previewPictures(const Document& document,
                                          const QImage& rendering) const override {
        const QList<QImage> images = entries(document, rendering);
        QList<PreviewPicture> pictures;
        for (const QImage& image : images)
            pictures.append({image, QString::number(image.width()), {}});
        return pictures;
    }

    // Its entries are its own: bitmaps, and PNGs of a kind no other target writes.
    OutputFailures write(const Document& document, const QImage& rendering,
                         const Destination& destination, PngEncodings&) const override {
        if (auto failure = makeFolder(QFileInfo(destination.path).path(), destination.path))
            return {*failure};
        if (auto failure = writeIconEntries(destination.path, entries(document, rendering)))
            return {*failure};
        return {};
    }

    QString writtenMessage(const Document& document, const Destination& destination,
                           const OutputFailures& failures) const override {
        if (!failures.isEmpty())
            return QString();
        QStringList written;
        for (int size : sizes(document))
            written << QString::number(size);
        return tr("Wrote %1: %2").arg(QFileInfo(destination.path).fileName(), written.join(", "));
    }

private:
    static QList<QImage> entries(const Document& document, const QImage& rendering) {
        return SizedIcon(document, rendering)
            .entries(IconSizes::entrySizes(choice(document), rendering.width()),
                     document.output.sharpSizes);
    }

    static IconSizeChoice choice(const Document& document) {
        return {document.output.iconSizes, document.output.sharpSizes};
    }
};

} // namespace

const ExportTarget& icoTarget() {
    static const IcoTarget target;
    return target;
}
