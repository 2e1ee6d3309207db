#include "previewscheduler.h"

#include "form/sizepreview.h"

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

PreviewScheduler::PreviewScheduler(SizePreview* preview, std::function<Request()> request,
                                   QObject* parent)
    : QObject(parent), preview(preview), request(std::move(request)) {
    timer.setSingleShot(true);
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, &PreviewScheduler::update);
    connect(&watcher, &QFutureWatcher<QList<QImage>>::finished, this,
            &PreviewScheduler::showEntries);
}

void PreviewScheduler::schedule() {
    if (!timer.isActive())
        timer.start();
}

void PreviewScheduler::update() {
    Request next = request();
    if (sameDocument(next.document, shown.document) && next.sizes == shown.sizes &&
        next.sharp == shown.sharp)
        return;
    if (watcher.isRunning()) {
        outdated = true;
        return;
    }
    shown = std::move(next);
    watcher.setFuture(
        QtConcurrent::run(previewEntries, shown.document, shown.sizes, shown.sharp, shown.k));
}

void PreviewScheduler::showEntries() {
    preview->showEntries(watcher.result(), shown.sizes);
    if (std::exchange(outdated, false))
        update();
}
