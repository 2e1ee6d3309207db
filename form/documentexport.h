#pragma once

#include <QString>

class EditedDocument;
class ExportTarget;
class QWidget;

// The document written as the Go button writes it: where to (a file, or a folder after the PNG
// sizes), the question before files beyond the chosen one are replaced, the writing, and what to
// tell the user. The PNG sizes the user chooses on the way are an edit of the document.
class DocumentExport {
public:
    DocumentExport(QWidget* parent, EditedDocument& edited);

    // Writes the document as `target`; answers what the status bar says (empty: nothing).
    QString run(const ExportTarget& target);

private:
    QWidget* parent;
    EditedDocument& edited;

    // What the user chose for `target`; empty when cancelled.
    QString chooseDestination(const ExportTarget& target);
    // The PNG sizes in their dialog; the sizes the user exports with become the document's.
    bool choosePngSizes();
};
