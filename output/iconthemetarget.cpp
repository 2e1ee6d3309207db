#include "output/exporttarget.h"
#include "output/iconthemewriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// The Linux icon theme tree: FOLDER/hicolor/<n>x<n>/apps/<name>.png. The window asks for the icon
// name in the folder it goes under, the command line for the folder.
class IconThemeTarget : public ExportTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Linux icon theme"); }
    QString key() const override { return QStringLiteral("hicolor"); }
    bool asksForFile() const override { return true; }
    QString fileDialogTitle() const override { return tr("Create Linux Icon Theme"); }
    QString fileFilter() const override { return tr("Icon name (*)"); }

    Destination destinationOf(const QString& chosen) const override {
        const QFileInfo info(chosen);
        return {info.path(), info.completeBaseName()};
    }

    Destination batchDestination(const QString& folder, const QString& name) const override {
        return {folder, name};
    }

    QList<int> sizes(const Document&) const override { return IconThemeWriter::sizes(); }

    QStringList filesBeyondTheChosen(const Document& document,
                                     const Destination& destination) const override {
        QStringList files;
        for (int size : sizes(document))
            files << IconThemeWriter::fileName(destination.path, destination.name, size);
        return files;
    }

    OutputFailures write(const Document& document, const QImage& rendering,
                         const Destination& destination, PngEncodings& encodings) const override {
        return IconThemeWriter::write(destination.path, destination.name,
                                      SizedIcon(document, rendering), encodings);
    }

    QString writtenMessage(const Document&, const Destination& destination,
                           const OutputFailures& failures) const override {
        if (!failures.isEmpty())
            return QString();
        return tr("Wrote the icon theme %1 under %2")
            .arg(destination.name,
                 QDir::toNativeSeparators(destination.path + QStringLiteral("/hicolor")));
    }
};

} // namespace

const ExportTarget& iconThemeTarget() {
    static const IconThemeTarget target;
    return target;
}
