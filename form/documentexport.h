#pragma once

#include <QCoreApplication>
#include <QString>

class EditedDocument;
class ExportTarget;
class QWidget;

// The window's way of writing the document: where to (a file, or a folder after the PNG sizes),
// a question before files beyond the chosen one are replaced, the writing, and what to tell the
// user. The sizes the user chooses on the way are edits of the document.
class ExportFlow {
    Q_DECLARE_TR_FUNCTIONS(EditorForm)

public:
    ExportFlow(QWidget* parent, EditedDocument& edited);

    // Writes the document as `target`; answers what the status bar says (empty: nothing).
    QString run(const ExportTarget& target);

    // The icon file's entries and the sharp small sizes, in their dialog.
    void chooseIconSizes();

private:
    QWidget* parent;
    EditedDocument& edited;

    // What the user chose for `target`; empty when cancelled.
    QString chooseDestination(const ExportTarget& target);
    // The PNG sizes in their dialog; the sizes the user exports with become the document's.
    bool choosePngSizes();
};
