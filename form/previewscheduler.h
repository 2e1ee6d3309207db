#pragma once

#include "document/document.h"
#include "output/exporttarget.h"

#include <QFutureWatcher>
#include <QObject>
#include <QTimer>

#include <functional>

class SizePreview;

// Keeps the size preview up to date without slowing the canvas: the entries are drawn beside the
// window's thread from a copy of the document, a moment after a change (a drag's many paints
// make one drawing), one drawing at a time (changes that come meanwhile are drawn together when
// it is done), and not at all when nothing they show has changed.
class PreviewScheduler : public QObject {
    Q_OBJECT

public:
    // `document` answers the document to show, as it is now.
    PreviewScheduler(SizePreview* preview, std::function<Document()> document, QObject* parent);

    // Draws a moment from now, once for all calls until then.
    void schedule();
    // Draws now what differs from what is shown.
    void update();

private:
    SizePreview* preview;
    std::function<Document()> document;
    // Owned as a child, so that a drawing still pending can be found from the window.
    QTimer timer{this};
    QFutureWatcher<QList<ExportTarget::PreviewPicture>> watcher;
    // What the preview shows now, or is being drawn.
    Document shown;
    bool outdated = false;

    void showEntries();
};
