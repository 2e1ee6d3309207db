#include "canvas/kbwidget.h"
#include "model/localglobal.h"
#include "support/dropsupport.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <functional>

using namespace TestSupport;

namespace {

const QPoint dropPoint(150, 150);

quint32 crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

QByteArray pngChunk(const QByteArray& type, const QByteArray& data) {
    QByteArray chunk(4, '\0');
    qToBigEndian(quint32(data.size()), chunk.data());
    chunk += type + data;
    QByteArray crc(4, '\0');
    qToBigEndian(crc32(type + data), crc.data());
    return chunk + crc;
}

// A well-formed PNG header announcing a picture far beyond any sane memory budget.
QByteArray hugePngHeader() {
    QByteArray header(13, '\0');
    qToBigEndian(quint32(100000), header.data());
    qToBigEndian(quint32(100000), header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 6; // RGBA
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", header) +
           pngChunk("IEND", QByteArray());
}

QByteArray pictureBytes(const QString& format) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.") + format);
    writePictureFile(path, QSize(120, 80), Qt::darkCyan);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// Whatever lands on the canvas, the program goes on: pictures that decode become objects,
// everything else is skipped without a trace of itself in the document.
class TestRobustness : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    KBWidget* canvas = nullptr;

private Q_SLOTS:
    void initTestCase() { initTestEnvironment(); }

    void init() {
        LocalGlobal::LImageData.clear();
        canvas = new KBWidget;
        canvas->setFixedSize(300, 300);
        canvas->setAcceptDrops(true);
        canvas->setSizeIndex(1);
        canvas->show();
    }

    void cleanup() { delete canvas; }

    void badPictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<std::function<bool(const QString&)>>("make");
        QTest::addColumn<int>("added");

        QTest::newRow("zero bytes")
            << "empty.png" << std::function<bool(const QString&)>([](const QString& path) {
                   return writeBytes(path, QByteArray());
               })
            << 0;
        for (const char* format : {"png", "jpg", "gif", "tiff", "webp"}) {
            const QString suffix = QString::fromLatin1(format);
            QTest::newRow(qPrintable("truncated " + suffix))
                << "cut." + suffix
                << std::function<bool(const QString&)>([suffix](const QString& path) {
                       const QByteArray whole = pictureBytes(suffix);
                       return writeBytes(path, whole.left(whole.size() / 3));
                   })
                << -1;
        }
        QTest::newRow("text named png")
            << "notes.png" << std::function<bool(const QString&)>([](const QString& path) {
                   return writeBytes(path, "just some words\n");
               })
            << 0;
        QTest::newRow("header claims 100000 squared")
            << "huge.png" << std::function<bool(const QString&)>([](const QString& path) {
                   return writeBytes(path, hugePngHeader());
               })
            << 0;
        QTest::newRow("folder named png")
            << "x.png" << std::function<bool(const QString&)>([](const QString& path) {
                   return QDir().mkpath(path);
               })
            << 0;
        QTest::newRow("broken link")
            << "gone.png" << std::function<bool(const QString&)>([](const QString& path) {
                   return QFile::link(path + ".missing", path);
               })
            << 0;
        QTest::newRow("spaces and accents")
            << "Ünïcødé picture ☃.png"
            << std::function<bool(const QString&)>([](const QString& path) {
                   return writePictureFile(path, QSize(40, 30), Qt::red);
               })
            << 1;
    }

    // -1 in `added`: a truncated picture may decode partly; either way nothing breaks.
    void badPictures() {
        QFETCH(QString, name);
        QFETCH(std::function<bool(const QString&)>, make);
        QFETCH(int, added);
        const QString path = dir.filePath(name);
        QVERIFY(make(path));

        QSignalSpy spy(canvas, &KBWidget::addItem);
        dropUrls(canvas, dropPoint, fileUrls({path}));
        if (added >= 0)
            QCOMPARE(spy.count(), added);
        QCOMPARE(LocalGlobal::LImageData.size(), qsizetype(spy.count()));
        for (const ImageData& object : std::as_const(LocalGlobal::LImageData)) {
            QVERIFY(!object.image.isNull());
            QCOMPARE(object.rect.size(), object.image.size());
        }
        QImage icon;
        QCOMPARE(canvas->renderIcon(icon).size(), QSize(256, 256));
    }

    void fileRemovedBeforeDrop() {
        const QString path = dir.filePath(QStringLiteral("fleeting.png"));
        QVERIFY(writePictureFile(path, QSize(40, 40), Qt::blue));
        const QList<QUrl> urls = fileUrls({path});
        QVERIFY(sendDragEnter(canvas, dropPoint, urls));
        QVERIFY(QFile::remove(path));

        QMimeData data;
        data.setUrls(urls);
        QDropEvent drop(dropPoint, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QSignalSpy spy(canvas, &KBWidget::addItem);
        QApplication::sendEvent(canvas, &drop);
        QCOMPARE(spy.count(), 0);
        QVERIFY(LocalGlobal::LImageData.isEmpty());
    }

    // 10000 x 10000 is 400 MB decoded: more than Qt lets a reader allocate by default.
    void veryLargePictureLoads() {
        const QString path = dir.filePath(QStringLiteral("poster.png"));
        QImage poster(10000, 10000, QImage::Format_RGB32);
        poster.fill(Qt::darkGreen);
        QVERIFY(poster.save(path));
        poster = QImage();

        QVERIFY(dropUrls(canvas, dropPoint, fileUrls({path})));
        QCOMPARE(LocalGlobal::LImageData.size(), qsizetype(1));
        const ImageData& object = LocalGlobal::LImageData.first();
        QCOMPARE(object.scale, 3);
        QCOMPARE(object.image.size(), QSize(300, 300));
        QImage icon;
        QVERIFY(near(pixel(canvas->renderIcon(icon), 128, 128), QColor(Qt::darkGreen)));
    }
};

QTEST_MAIN(TestRobustness)
#include "tst_robustness.moc"
