#include "testsupport.h"

#include "app/crashrecovery.h"
#include "form/editorform.h"

#include <Magick++.h>
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QBuffer>
#include <QCompleter>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <lcms2.h>
#include <zlib.h>

namespace TestSupport {

void initTestEnvironment() {
    QStandardPaths::setTestModeEnabled(true);
    // Test executables run in parallel; each keeps a settings store of its own.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QLatin1Char('/') + QCoreApplication::applicationName());
    // Some slots are named like connect-by-name ones; Qt's warnings of them only clutter the log.
    QLoggingCategory::setFilterRules(
        QStringLiteral("qt.core.qmetaobject.connectslotsbyname=false"));
    Magick::InitializeMagick(nullptr);
    clearSettings();
    // Unsaved changes a killed run left behind would be offered back to the first window, and no
    // test answers that question.
    QDir(CrashRecovery::defaultFolder()).removeRecursively();
}

void clearSettings() {
    for (const char* application : {"Brasswick", "Glimmerdock"}) {
        QSettings settings(QStringLiteral("Kestrelby"), QString::fromLatin1(application));
        settings.clear();
        settings.sync();
    }
}

QVariant settingValue(const QString& key, const char* application) {
    return QSettings(QStringLiteral("Kestrelby"), QString::fromLatin1(application)).value(key);
}

void setSettings(const QVariantMap& values, const char* application) {
    QSettings settings(QStringLiteral("Kestrelby"), QString::fromLatin1(application));
    for (auto it = values.begin(); it != values.end(); ++it)
        settings.setValue(it.key(), it.value());
}

QImage crossPicture(QSize size, const QColor& color) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.fillRect(0, size.height() / 2, size.width(), 1, Qt::black);
    painter.fillRect(size.width() / 2, 0, 1, size.height(), Qt::black);
    return image;
}

Layer solidLayer(const QRect& place, const QColor& color) {
    Layer layer;
    layer.sourceImage = QImage(place.size(), QImage::Format_ARGB32_Premultiplied);
    layer.sourceImage.fill(color);
    layer.position = place.topLeft();
    return layer;
}

QImage smoothScaled(const QImage& image, int edge) {
    return image.scaled(edge, edge, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

double meanDifference(const QImage& a, const QImage& b) {
    double sum = 0;
    for (qsizetype i = 0; i < a.sizeInBytes(); ++i)
        sum += std::abs(a.constBits()[i] - b.constBits()[i]);
    return sum / double(a.sizeInBytes());
}

int partlyTransparent(const QImage& image) {
    int count = 0;
    for (int i = 0; i < image.width() * image.height(); ++i)
        count += qAlpha(image.pixel(i % image.width(), i / image.width())) % 255 != 0;
    return count;
}

void littleCmsToSrgb(const QByteArray& icc, const QRgb* from, QRgb* to, qsizetype count) {
    cmsHPROFILE profile = cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    cmsHPROFILE sRgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        cmsCreateTransform(profile, TYPE_BGRA_8, sRgb, TYPE_BGRA_8, INTENT_RELATIVE_COLORIMETRIC,
                           cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOOPTIMIZE);
    cmsDoTransform(transform, from, to, cmsUInt32Number(count));
    cmsDeleteTransform(transform);
    cmsCloseProfile(profile);
    cmsCloseProfile(sRgb);
}

bool writePicture(const QString& path, QSize size, const QColor& color) {
    const QImage image = crossPicture(size, color);
    // Qt's writer knows JPEGs by "jpg" and "jpeg" alone.
    const bool jpeg = path.endsWith(QLatin1String(".jfif"), Qt::CaseInsensitive) ||
                      path.endsWith(QLatin1String(".jpe"), Qt::CaseInsensitive);
    if (!path.endsWith(QLatin1String(".gif")))
        return image.save(path, jpeg ? "jpeg" : nullptr);
    magickPicture(image).write(("gif:" + path).toStdString());
    return QFileInfo(path).size() > 0;
}

Magick::Image magickPicture(const QImage& image) {
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    return Magick::Image(size_t(rgba.width()), size_t(rgba.height()), "RGBA", Magick::CharPixel,
                         rgba.constBits());
}

QByteArray gzipped(const QByteArray& bytes) {
    QTemporaryFile file;
    if (!file.open())
        return {};
    gzFile packed = gzopen(file.fileName().toLocal8Bit().constData(), "wb9");
    gzwrite(packed, bytes.constData(), unsigned(bytes.size()));
    gzclose(packed);
    return readFileBytes(file.fileName());
}

QByteArray qtPngBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray iccBytes(const QString& name) {
    return readFileBytes("/usr/share/color/icc/ghostscript/" + name + ".icc");
}

bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool dropFiles(QWidget* target, QPointF point, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(point.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(point.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return true;
}

void wheelOver(QWidget* widget, QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    const QPointF at(150, 150);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

void chooseInFileDialog(QFileDialog* dialog, const QString& folder, const QString& name,
                        int tries) {
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    QVERIFY(edit);
    dialog->setDirectory(folder);
    edit->setText(name);
    if (QCompleter* completer = edit->completer())
        completer->popup()->hide();
    QMetaObject::invokeMethod(dialog, "accept");
    // The dialog may still be filling its list and take the confirmation as a step into a folder.
    if (!dialog->isVisible())
        return;
    if (tries > 0) {
        whenModal<QFileDialog>(
            [=](QFileDialog* again) { chooseInFileDialog(again, folder, name, tries - 1); });
        return;
    }
    qWarning("the file dialog refused the choice");
    dialog->reject();
}

QStringList messagesDuring(const std::function<void()>& run) {
    QStringList texts;
    QTimer catcher;
    catcher.setInterval(20);
    QObject::connect(&catcher, &QTimer::timeout, [&texts] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (QAbstractButton* yes = box->button(QMessageBox::Yes)) {
            QTest::mouseClick(yes, Qt::LeftButton);
            return;
        }
        texts.append(box->text());
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    catcher.start();
    run();
    return texts;
}

void click(QWidget* dialog, const char* button) {
    QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
}

const Document& documentOf(QWidget* window) {
    auto* form = qobject_cast<EditorForm*>(window);
    return (form ? form : window->findChild<EditorForm*>())->document();
}

} // namespace TestSupport
