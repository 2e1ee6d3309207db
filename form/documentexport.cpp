#include "exportflow.h"

#include "document/editeddocument.h"
#include "form/exportpngdialog.h"
#include "form/iconsizesdialog.h"
#include "form/outputflow.h"
#include "output/exporttarget.h"
#include "output/iconsizes.h"
#include "output/outputfailure.h"
#include "output/resolutionlist.h"
#include "render/iconrenderer.h"

ExportFlow::ExportFlow(QWidget* parent, EditedDocument& edited) : parent(parent), edited(edited) {}

QString ExportFlow::run(const ExportTarget& target) {
    const QString chosen = chooseDestination(target);
    if (chosen.isEmpty())
        return QString();
    const Document& document = edited.document();
    const ExportTarget::Destination destination = target.destinationOf(chosen);
    if (!OutputFlow::mayReplace(parent, target.filesBeyondTheChosen(document, destination)))
        return QString();
    const OutputFailures failures =
        target.write(document, renderDocumentIcon(document), destination) +
        drawingFailures(document.layers);
    OutputFlow::reportFailures(parent, failures);
    return target.writtenMessage(document, destination, failures);
}

QString ExportFlow::chooseDestination(const ExportTarget& target) {
    if (target.asksForFile()) {
        const QString path = OutputFlow::askFileName(parent, target.fileDialogTitle(),
                                                     target.fileFilter(), target.suffix());
        return path.isEmpty() ? path : OutputFlow::withSuffix(path, target.suffix());
    }
    if (target.asksForSizes() && !choosePngSizes())
        return QString();
    QString folder;
    return OutputFlow::chooseExportFolder(folder) ? folder : QString();
}

bool ExportFlow::choosePngSizes() {
    auto* dialog = new ExportPNGDialog(edited.document().output.pngSizes, parent);
    bool chosen = false;
    QObject::connect(dialog, &ExportPNGDialog::exportRequested,
                     [this, &chosen](const QList<int>& s) {
                         chosen = true;
                         // The sizes chosen last are also where the next new document starts.
                         QStringList rows;
                         for (int size : s)
                             rows << ResolutionList::rowText(size);
                         ResolutionList::storeRows(rows);
                         edited.edit(tr("PNG Sizes"), [&s](Document& d) { d.output.pngSizes = s; });
                     });
    dialog->exec();
    return chosen;
}

void ExportFlow::chooseIconSizes() {
    const Document& document = edited.document();
    auto* dialog = new IconSizesDialog({document.output.iconSizes, document.output.sharpSizes},
                                       document.style.canvasFactor, parent);
    if (dialog->exec() != QDialog::Accepted)
        return;
    const IconSizeChoice chosen = dialog->choice();
    IconSizes::store(chosen);
    edited.edit(tr("Icon Sizes"), [&chosen](Document& d) {
        d.output.iconSizes = chosen.sizes;
        d.output.sharpSizes = chosen.sharp;
    });
}
