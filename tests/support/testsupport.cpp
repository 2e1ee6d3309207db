#include "testsupport.h"

#include <Magick++.h>
#include <QCoreApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSettings>
#include <QStandardPaths>
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

void clearSettings() {
    for (const char* application : {"Brasswick", "Glimmerdock"}) {
        QSettings settings(QStringLiteral("Kestrelby"), QString::fromLatin1(application));
        settings.clear();
        settings.sync();
    }
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

} // namespace TestSupport
