#include "picturereading.h"

#include "picture/picturelimits.h"
#include "picture/vectorpicture.h"
#include "trace/printablename.h"
#include "trace/trace.h"

#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// Reads run on a thread of their own: Qt's global pool decodes and scales parts of images, and
// must never wait behind a long read.
QThreadPool& readingPool() {
    static QThreadPool pool;
    pool.setMaxThreadCount(1);
    return pool;
}

} // namespace

PictureReading::PictureReading(QObject* parent) : QObject(parent) {
    connect(&watcher, &QFutureWatcher<Result>::finished, this, &PictureReading::finish);
}

// A window closed while a read runs waits for it: the read holds nothing of the window.
PictureReading::~PictureReading() {
    watcher.waitForFinished();
}

// The header is read by a picture helper, as every untrusted byte is; one that lies past the
// file's start leaves its size to go by.
bool PictureReading::worthReadingAside(const QStringList& paths) {
    return std::any_of(paths.begin(), paths.end(), [](const QString& path) {
        // What is refused by its name or size is refused at once.
        QFile file(path);
        if (!PictureIntake::isPictureFile(path) || file.size() > PictureLimits::maxFileBytes ||
            !file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray head = file.read(headerBytes);
        // A vector picture is drawn at the size it is shown, whatever size it states.
        if (VectorPicture::isVector(head))
            return false;
        const QSize size = PictureIntake::declaredSize(head);
        return size.isEmpty() ? file.size() >= sideFileBytes
                              : qint64(size.width()) * size.height() >= sidePixels;
    });
}

PictureReading::Result PictureReading::readAll(const QStringList& paths) {
    Result result;
    for (const QString& path : paths) {
        PictureIntake::Picture picture = PictureIntake::read(path);
        if (picture.refusal.isEmpty()) {
            result.taken.append({path, std::move(picture)});
            continue;
        }
        qCDebug(lcCanvas).nospace().noquote() << "Cannot load: " << path;
        result.refused << PictureIntake::refusalMessage(QFileInfo(path).fileName(),
                                                        picture.refusal);
    }
    return result;
}

void PictureReading::read(const QStringList& paths, std::function<void(const Result&)> done) {
    if (!worthReadingAside(paths)) {
        done(readAll(paths));
        return;
    }
    pending = std::move(done);
    QStringList fileNames;
    for (const QString& path : paths)
        fileNames << printableName(QFileInfo(path).fileName());
    names = fileNames.join(QStringLiteral(", "));
    emit reading(tr("Reading %1… (Escape stops it)").arg(names));
    watcher.setFuture(QtConcurrent::run(&readingPool(), &PictureReading::readAll, paths));
}

QString PictureReading::stop() {
    pending = nullptr;
    emit reading(QString());
    return names;
}

void PictureReading::finish() {
    if (!pending)
        return;
    const auto done = std::exchange(pending, nullptr);
    emit reading(QString());
    done(watcher.result());
}
