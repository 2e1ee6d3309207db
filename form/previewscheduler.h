#pragma once

#include "document/document.h"

#include <QFutureWatcher>
#include <QImage>
#include <QList>
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
    // What to draw: the document, the preview's sizes, sharp small sizes or not, canvas factor.
    struct Request {
        Document document;
        QList<int> sizes;
        bool sharp = false;
        int k = 1;
    };

    PreviewScheduler(SizePreview* preview, std::function<Request()> request, QObject* parent);

    // Draws a moment from now, once for all calls until then.
    void schedule();
    // Draws now what differs from what is shown.
    void update();

private:
    SizePreview* preview;
    std::function<Request()> request;
    QTimer timer;
    QFutureWatcher<QList<QImage>> watcher;
    // What the preview shows now, or is being drawn.
    Request shown;
    bool outdated = false;

    void showEntries();
};
