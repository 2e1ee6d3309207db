#pragma once

#include "picture/pictureintake.h"

#include <QFutureWatcher>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// Reads dropped picture files: small ones at once, big ones (by the size their headers state)
// beside the window's thread, so the window repaints and answers while they decode. A read on
// the side can be stopped: its pictures are then never added.
class PictureReading : public QObject {
    Q_OBJECT

public:
    struct Result {
        // Each picture read with the file it came from.
        QList<std::pair<QString, PictureIntake::Picture>> taken;
        // "name: why" for each file not taken.
        QStringList refused;
    };

    // From this many pixels a decode takes half a second and more and goes on the side.
    static constexpr qint64 sidePixels = 20'000'000;
    // What of a file its header is looked for in, and the size of a file whose header is not
    // there that goes on the side.
    static constexpr qint64 headerBytes = qint64(1) << 16;
    static constexpr qint64 sideFileBytes = qint64(8) << 20;

    explicit PictureReading(QObject* parent = nullptr);
    ~PictureReading() override;

    // Whether any of `paths` is a picture big enough to be read on the side.
    static bool worthReadingAside(const QStringList& paths);
    // Every file of `paths` read as the canvas takes it.
    static Result readAll(const QStringList& paths);

    // Reads `paths` and hands the result to `done` on this thread: at once for small pictures.
    void read(const QStringList& paths, std::function<void(const Result&)> done);
    bool busy() const { return bool(pending); }
    // Stops the read on the side (its pictures are never added); answers the files it read.
    QString stop();

Q_SIGNALS:
    // What is being read, for the status bar; empty once it is over.
    void reading(const QString& what);

private:
    QFutureWatcher<Result> watcher;
    std::function<void(const Result&)> pending;
    QString names;

    void finish();
};
