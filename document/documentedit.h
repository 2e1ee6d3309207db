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
    // Keeps only the made pixels that `current` shows too.
    void dropImagesNotIn(const Document& current) const;

private:
    EditedDocument& owner;
    // Mutable: the made pixels inside are a cache, dropped while another state is shown.
    mutable Document before;
    mutable Document after;
    QString mergeKey;
};
