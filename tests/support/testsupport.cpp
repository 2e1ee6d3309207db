#include "testsupport.h"

#include <Magick++.h>
#include <QApplication>
#include <QFile>
#include <QImageWriter>
#include <QListWidget>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>
#include <QWheelEvent>
#include <QtGlobal>

#include <cstdlib>

namespace TestSupport {

void initTestEnvironment() {
    QStandardPaths::setTestModeEnabled(true);
    // Test executables run in parallel; each keeps a settings store of its own to clear.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QLatin1Char('/') + QCoreApplication::applicationName());
    Magick::InitializeMagick(nullptr);
    clearSettings();
}

namespace {

const char* const applications[] = {"Brasswick", "Glimmerdock"};

} // namespace

void clearSettings() {
    for (const char* application : applications) {
        QSettings settings(QStringLiteral("Kestrelby"), QString::fromLatin1(application));
        settings.clear();
        settings.sync();
    }
}

QVariant settingValue(const QString& key, const char* application) {
    return QSettings(QStringLiteral("Kestrelby"), QString::fromLatin1(application)).value(key);
}

void setSetting(const QString& key, const QVariant& value, const char* application) {
    setSettings({{key, value}}, application);
}

void setSettings(const QVariantMap& values, const char* application) {
    QSettings settings(QStringLiteral("Kestrelby"), QString::fromLatin1(application));
    for (auto it = values.begin(); it != values.end(); ++it)
        settings.setValue(it.key(), it.value());
}

bool noSettingsStored() {
    for (const char* application : applications) {
        if (!QSettings(QStringLiteral("Kestrelby"), QString::fromLatin1(application))
                 .allKeys()
                 .isEmpty())
            return false;
    }
    return true;
}

QImage crossPicture(QSize size, const QColor& color, QImage::Format format) {
    QImage image(size, format);
    image.fill(color);
    QPainter painter(&image);
    painter.fillRect(0, size.height() / 2, size.width(), 1, Qt::black);
    painter.fillRect(size.width() / 2, 0, 1, size.height(), Qt::black);
    painter.end();
    return image;
}

bool writePicture(const QString& path, QSize size, const QColor& color) {
    const QImage image = crossPicture(size, color, QImage::Format_ARGB32);
    QImageWriter writer(path);
    return writer.write(image);
}

QColor pixel(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

bool near(const QColor& actual, const QColor& expected, int tolerance) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance &&
           std::abs(actual.alpha() - expected.alpha()) <= tolerance;
}

bool everyAlphaIs(const QImage& image, int alpha) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(argb.pixel(x, y)) != alpha)
                return false;
        }
    }
    return true;
}

ImageData solidObject(QRect rect, const QColor& color, int index) {
    ImageData object;
    object.sourceImage = QImage(rect.size(), QImage::Format_ARGB32_Premultiplied);
    object.sourceImage.fill(color);
    object.image = object.sourceImage;
    object.position = rect.topLeft();
    object.rect = rect;
    object.index = index;
    return object;
}

QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QStringList listRowTexts(const QListWidget* list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void wheelOver(QWidget* widget, QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    const QPointF at(150, 150);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angleDelta, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

} // namespace TestSupport
