#pragma once

#include "document/document.h"

#include <QString>
#include <QUndoCommand>

#include <functional>

// One undo step: the document before and after one user action. Steps that change the same single
// thing one after another (a style control, the zoom or the turn of one picture) merge into one.
class DocumentEdit : public QUndoCommand {
public:
    using Show = std::function<void(const Document&)>;

    DocumentEdit(const Document& before, const Document& after, Show show);

    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;
    // Keeps only the made pixels that `current` shows too.
    void dropImagesNotIn(const Document& current) const;

private:
    // Mutable: the made pixels inside are a cache, dropped while another state is shown.
    mutable Document before;
    mutable Document after;
    Show show;
    // What the step changed, when it is one thing a following step may go on changing.
    QString aspect;
    // The action is done when the step is recorded; only later redos show it again.
    bool done = true;
};

// "style:<key>" when only one stored style field differs, "scale:<index>" or "rotation:<index>"
// when only that of one picture does; empty for anything else.
QString changedAspect(const Document& before, const Document& after);
