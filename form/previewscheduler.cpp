#include "previewscheduler.h"

#include "form/sizepreview.h"

#include <QtConcurrent/QtConcurrentRun>

#include <utility>

PreviewScheduler::PreviewScheduler(SizePreview* preview, std::function<Document()> document,
                                   QObject* parent)
    : QObject(parent), preview(preview), document(std::move(document)) {
    timer.setSingleShot(true);
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, &PreviewScheduler::update);
    connect(&watcher, &QFutureWatcher<QList<ExportTarget::PreviewPicture>>::finished, this,
            &PreviewScheduler::showEntries);
}

void PreviewScheduler::schedule() {
    if (!timer.isActive())
        timer.start();
}

void PreviewScheduler::update() {
    Document next = document();
    if (sameDocument(next, shown))
        return;
    if (watcher.isRunning()) {
        outdated = true;
        return;
    }
    shown = std::move(next);
    watcher.setFuture(QtConcurrent::run(previewPictures, shown));
}

void PreviewScheduler::showEntries() {
    preview->showPictures(watcher.result());
    if (std::exchange(outdated, false))
        update();
}
