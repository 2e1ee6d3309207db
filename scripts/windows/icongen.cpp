// Writes icon files with the real writer for scripts/check-windows, which has Windows' own icon
// reader load and draw them under wine (check_icons.cpp). Runs on the build machine, not on
// Windows. Beside each name.ico it writes, for every entry, name-<edge>.rgba: the pixels the entry
// should show, un-premultiplied RGBA rows from the top, so the Windows side needs no image reader.
// Usage: glimmerdock_icongen <folder>
#include "output/iconsizes.h"
#include "output/icowriter.h"
#include "render/iconrenderer.h"

#include <Magick++.h>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPainter>
#include <QRadialGradient>

#include <cstdio>

namespace {

constexpr int k = 1;

// A gradient with a translucent end, a border and a badge with text: every kind of edge and alpha
// the small entries have to carry.
IconStyle documentStyle() {
    IconStyle style;
    style.shape = int(ContainerShape::RoundedRectangle);
    style.useBackground = true;
    style.backStyle = int(BackStyle::Gradient);
    style.backOrientation = int(GradientOrientation::TopLeftDownRight);
    style.backColor1 = QColor(0x2a, 0x6f, 0xdb);
    style.backColor2 = QColor(0xf5, 0xd0, 0x4c, 160);
    style.useBorder = true;
    style.useBadge = true;
    style.badgeOrientation = int(BadgeOrientation::Diagonal);
    style.badgeTextFont.setPixelSize(style.badgeTextSize);
    style.badgeTextFont.setWeight(QFont::Bold);
    return style;
}

// One colour in a rounded rectangle: under 256 colours with the edge's alpha, so its large
// entries are palette PNGs with translucent palette entries.
IconStyle flatStyle() {
    IconStyle style;
    style.shape = int(ContainerShape::RoundedRectangle);
    style.useBackground = true;
    style.backStyle = int(BackStyle::Solid);
    style.backColor1 = QColor(0x1e, 0x5a, 0xc8);
    return style;
}

// A disc fading out to its rim and a half-transparent bar, reaching past the icon's edge.
Layer picture() {
    QImage image(200, 140, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(70, 70, 65);
    disc.setColorAt(0, QColor(255, 255, 255));
    disc.setColorAt(0.7, QColor(220, 30, 90, 230));
    disc.setColorAt(1, QColor(220, 30, 90, 0));
    painter.fillRect(image.rect(), disc);
    painter.fillRect(QRect(40, 95, 160, 30), QColor(20, 160, 60, 128));
    painter.end();
    Layer layer;
    layer.sourceImage = image;
    layer.position = QPoint(130, 40) * k;
    return layer;
}

bool writePixels(const QString& path, const QImage& entry) {
    // The same conversion the writer makes before it encodes an entry.
    const QImage pixels = entry.convertToFormat(QImage::Format_RGBA8888);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(reinterpret_cast<const char*>(pixels.constBits()), pixels.sizeInBytes()) ==
               pixels.sizeInBytes();
}

bool writeIcon(const QString& base, const IconStyle& style, const QList<Layer>& layers,
               const QList<int>& sizes, bool sharp) {
    const QImage rendering = IconRenderer(k).renderIcon(style, layers);
    const QList<QImage> entries = iconEntryImages(rendering, sizes, sharp, style, layers, k);
    if (const auto failure = writeIconEntries(base + ".ico", entries)) {
        std::fprintf(stderr, "icongen: %s: %s\n", qPrintable(failure->fileName),
                     qPrintable(failure->reason));
        return false;
    }
    for (const QImage& entry : entries) {
        if (!writePixels(QStringLiteral("%1-%2.rgba").arg(base).arg(entry.width()), entry))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Fonts need a QGuiApplication, which needs no screen here.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("glimmerdock.*.debug=false"));
    QGuiApplication application(argc, argv);
    // The core library encodes with Magick++, which wants initialising once per process.
    Magick::InitializeMagick(nullptr);
    if (argc != 2 || !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: glimmerdock_icongen <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const struct {
        const char* name;
        IconStyle style;
        QList<Layer> layers;
    } documents[] = {{"document", documentStyle(), {picture()}},
                     {"flat", flatStyle(), {}},
                     {"empty", IconStyle(), {}}};
    const struct {
        const char* name;
        QList<int> sizes;
    } sets[] = {{"default", icoEntrySizes(256 * k)}, {"windows", IconSizes::windowsSet()}};
    for (const auto& document : documents) {
        for (const auto& set : sets) {
            for (const bool sharp : {false, true}) {
                const QString base =
                    QStringLiteral("%1/%2-%3%4")
                        .arg(folder, document.name, set.name, sharp ? "-sharp" : "");
                if (!writeIcon(base, document.style, document.layers, set.sizes, sharp))
                    return 1;
            }
        }
    }
    return 0;
}
