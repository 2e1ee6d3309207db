#pragma once

#include "document/document.h"

#include <QObject>
#include <QTimer>
#include <QUndoStack>

#include <functional>

// Turns the user's actions into undo steps: after every action the document is taken as it now
// is and, when it differs from the last one recorded, pushed as one step. Changes that arrive
// together (a drop of several pictures, a control and the repaint it causes) make one step; an
// action still in progress (a drag) is recorded when it ends.
class EditedDocument : public QObject {
    Q_OBJECT

public:
    using Capture = std::function<Document()>;
    using Show = std::function<void(const Document&)>;
    using Busy = std::function<bool()>;

    EditedDocument(Capture capture, Show show, Busy busy, QObject* parent);

    QUndoStack* stack() { return &undoStack; }

    // Starts over from the document as it is now, with no steps, and calls it saved.
    void reset();

public Q_SLOTS:
    // The document may have changed; it is looked at once the current action is over.
    void changed();

private:
    Capture capture;
    Show show;
    Busy busy;
    QUndoStack undoStack;
    QTimer pending;
    Document committed;
    bool showing = false;

    void record();
    void showStep(const Document& snapshot);
    // The steps keep only the made pixels the document shows now; the others are made again
    // when their step is shown.
    void dropHiddenImages();
};
