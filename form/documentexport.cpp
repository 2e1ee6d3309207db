#include "documentexport.h"

#include "document/editeddocument.h"
#include "document/useraction.h"
#include "form/exportpngdialog.h"
#include "form/exportquestions.h"
#include "output/exporttarget.h"
#include "output/outputfailure.h"
#include "output/resolutionlist.h"
#include "render/iconrenderer.h"

DocumentExport::DocumentExport(QWidget* parent, EditedDocument& edited)
    : parent(parent), edited(edited) {}

QString DocumentExport::run(const ExportTarget& target) {
    const QString chosen = chooseDestination(target);
    if (chosen.isEmpty())
        return QString();
    const Document& document = edited.document();
    const ExportTarget::Destination destination = target.destinationOf(chosen);
    if (!ExportQuestions::mayReplace(parent, target.filesBeyondTheChosen(document, destination)))
        return QString();
    const OutputFailures failures =
        target.write(document, renderDocumentIcon(document), destination) +
        drawingFailures(document.layers);
    ExportQuestions::reportFailures(parent, failures);
    return target.writtenMessage(document, destination, failures);
}

QString DocumentExport::chooseDestination(const ExportTarget& target) {
    if (target.asksForFile()) {
        const QString path = ExportQuestions::askFileName(parent, target.fileDialogTitle(),
                                                          target.fileFilter(), target.suffix());
        return path.isEmpty() ? path : ExportQuestions::withSuffix(path, target.suffix());
    }
    if (target.asksForSizes() && !choosePngSizes())
        return QString();
    QString folder;
    return ExportQuestions::chooseExportFolder(folder) ? folder : QString();
}

bool DocumentExport::choosePngSizes() {
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
                         edited.edit(UserActions::pngSizes(s));
                     });
    dialog->exec();
    return chosen;
}
