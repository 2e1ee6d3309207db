#pragma once

#include "document/document.h"
#include "document/useraction.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

class DocumentEdit;

// The document the window edits, and the way every change reaches it: a user action becomes one
// edit applied here and recorded as one undo step, then one change signal tells every view to
// show the document as it now is. Views read the document; none keeps a copy of its own.
class EditedDocument : public QObject {
    Q_OBJECT

public:
    explicit EditedDocument(QObject* parent = nullptr);

    const Document& document() const { return current; }
    QUndoStack* undoStack() { return &steps; }

    // Starts over with `document` (a project opened, a new one): no steps, nothing unsaved.
    void reset(const Document& document);

    // One user action (UserActions names them all): its change applied to the document, recorded
    // as an undo step under its name. Actions with the same non-empty merge key one after another
    // make one step. An action that changes nothing a project keeps makes no step; a selection it
    // changes is kept.
    void edit(const UserAction& action);

    // Selects the layer at `position` (Document::noSelection: none); not a step of its own.
    void select(int position);

Q_SIGNALS:
    // The document changed: by an edit, an undo or redo, a selection or a reset.
    void changed();

private:
    friend class DocumentEdit;

    Document current;
    QUndoStack steps;

    // Shows a step's state.
    void show(const Document& state);
};
