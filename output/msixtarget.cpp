#include "output/filesettarget.h"

#include "render/platformart.h"

#include <QCoreApplication>

namespace {

// A Windows app package's logos. Each comes at five scales; its pixel size is its base size
// times the scale, halves rounded up, as Windows' own tables give them (71 at 125 %: 89).
struct Logo {
    const char* name;
    int width;
    int height;
    // The icon's share of the logo's height: full for the app list's and the Store's logos,
    // less on Start's tiles, whose name is drawn below the icon.
    double iconShare;
};
constexpr Logo logos[] = {{"Square44x44Logo", 44, 44, 1.0},     {"Square71x71Logo", 71, 71, 0.6},
                          {"Square150x150Logo", 150, 150, 0.6}, {"Wide310x150Logo", 310, 150, 0.6},
                          {"Square310x310Logo", 310, 310, 0.6}, {"StoreLogo", 50, 50, 1.0}};
constexpr int scales[] = {100, 125, 150, 200, 400};
// The taskbar's and the app list's icons at exact sizes.
constexpr int targetSizes[] = {16, 24, 32, 48, 256};

int scaledEdge(int edge, int scale) {
    return (edge * scale + 50) / 100;
}

QString logoFile(const Logo& logo, int scale) {
    return QStringLiteral("%1.scale-%2.png").arg(QLatin1String(logo.name)).arg(scale);
}

QString targetFile(int size, bool unplated) {
    return QStringLiteral("Square44x44Logo.targetsize-%1%2.png")
        .arg(size)
        .arg(unplated ? QStringLiteral("_altform-unplated") : QString());
}

// The container's colour behind a tile's icon, or nothing when the container is not filled.
QColor tileGround(const Document& document) {
    return document.style.useBackground ? document.style.backColor1 : QColor(Qt::transparent);
}

// The logos of a Windows app package (MSIX): every tile and the Store logo at every scale, and
// the app list's icon at every target size, plated and unplated.
class MsixTarget : public FileSetTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Windows app package (MSIX) logos"); }
    QString key() const override { return QStringLiteral("msix"); }

    // The app list's icon on its plate and without it, at two of its sizes.
    QList<PreviewPicture> previewPictures(const Document& document,
                                          const QImage& rendering) const override {
        const QList<File> set = files(document, rendering, QString());
        QList<PreviewPicture> pictures;
        for (int size : {24, 48}) {
            pictures << previewOf(set, targetFile(size, false), tr("plated %1").arg(size))
                     << previewOf(set, targetFile(size, true), tr("unplated %1").arg(size));
        }
        return pictures;
    }

    QList<File> files(const Document& document, const QImage& rendering,
                      const QString&) const override {
        using namespace PlatformArt;
        const QColor ground = tileGround(document);
        const SizedIcon icon = sizedIcon(document, rendering, SizedIcon::Parts::WithForeground);
        QList<File> list;
        for (int size : targetSizes) {
            // Unplated icons stand on the taskbar's own colour: the pictures alone, kept off
            // the corners.
            list << File{targetFile(size, false),
                         [=] {
                             return tile(icon.at(size), {size, size}, size, ground);
                         },
                         {}}
                 << File{targetFile(size, true),
                         [=] { return fittedInCircle(icon.foregroundAt(size), size, 1.0, 1.0); },
                         {}};
        }
        for (const Logo& logo : logos) {
            for (int scale : scales) {
                const QSize size(scaledEdge(logo.width, scale), scaledEdge(logo.height, scale));
                const int iconEdge = int(size.height() * logo.iconShare + 0.5);
                list << File{logoFile(logo, scale),
                             [=] { return tile(icon.at(iconEdge), size, iconEdge, ground); },
                             {}};
            }
        }
        return list;
    }
};

} // namespace

const ExportTarget& msixTarget() {
    static const MsixTarget target;
    return target;
}
