#pragma once

#include "document/document.h"

#include <QString>
#include <QUndoCommand>

class EditedDocument;

// One undo step: the document before and after one user action, shown again by undo and redo.
// Steps with the same merge key one after another (one control turned, one drag, one picture's
// zoom by the wheel) make one step.
class DocumentEdit : public QUndoCommand {
public:
    DocumentEdit(EditedDocument& owner, const Document& before, const Document& after,
                 const QString& name, const QString& mergeKey);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    EditedDocument& owner;
    Document before;
    Document after;
    QString mergeKey;
};
