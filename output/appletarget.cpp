#include "output/filesettarget.h"

#include "render/platformart.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int iosSize = 1024;
// The macOS slots of an app icon, in points; each comes at 1x and 2x.
constexpr int macPoints[] = {16, 32, 128, 256, 512};

const QString folder = QStringLiteral("AppIcon.appiconset/");

QString macFile(int points, int scale) {
    return QStringLiteral("icon_%1x%1%2.png")
        .arg(points)
        .arg(scale == 2 ? QStringLiteral("@2x") : QString());
}

// The iOS icon's appearances: the plain one (no variant), dark and tinted.
const QStringList appearances{QString(), QStringLiteral("dark"), QStringLiteral("tinted")};

QString iosFile(const QString& appearance) {
    return appearance.isEmpty() ? QStringLiteral("AppIcon-1024.png")
                                : QStringLiteral("AppIcon-1024-%1.png").arg(appearance);
}

QJsonObject iosEntry(const QString& appearance) {
    QJsonObject entry{{QStringLiteral("filename"), iosFile(appearance)},
                      {QStringLiteral("idiom"), QStringLiteral("universal")},
                      {QStringLiteral("platform"), QStringLiteral("ios")},
                      {QStringLiteral("size"), QStringLiteral("1024x1024")}};
    if (!appearance.isEmpty())
        entry.insert(
            QStringLiteral("appearances"),
            QJsonArray{QJsonObject{{QStringLiteral("appearance"), QStringLiteral("luminosity")},
                                   {QStringLiteral("value"), appearance}}});
    return entry;
}

QByteArray contents() {
    QJsonArray images;
    for (const QString& appearance : appearances)
        images << iosEntry(appearance);
    for (int points : macPoints) {
        for (int scale : {1, 2})
            images << QJsonObject{{QStringLiteral("filename"), macFile(points, scale)},
                                  {QStringLiteral("idiom"), QStringLiteral("mac")},
                                  {QStringLiteral("scale"), QStringLiteral("%1x").arg(scale)},
                                  {QStringLiteral("size"), QStringLiteral("%1x%1").arg(points)}};
    }
    const QJsonObject root{{QStringLiteral("images"), images},
                           {QStringLiteral("info"),
                            QJsonObject{{QStringLiteral("author"), QStringLiteral("glimmerdock")},
                                        {QStringLiteral("version"), 1}}}};
    return QJsonDocument(root).toJson();
}

// An Xcode asset catalog's app icon: the one iOS icon (opaque, as the App Store requires) with
// its dark and tinted appearances, and every macOS slot.
class AppleTarget : public FileSetTarget {
    Q_DECLARE_TR_FUNCTIONS(ExportTarget)

public:
    QString title() const override { return tr("Apple asset catalog (iOS, macOS)"); }
    QString key() const override { return QStringLiteral("apple"); }

    QImage artwork(const Document& document, const QImage& rendering) const override {
        return PlatformArt::macArtwork(document, rendering);
    }

    // The iOS icon's three appearances, which tell the catalog apart from the .icns.
    QList<PreviewPicture> previewPictures(const Document& document,
                                          const QImage& rendering) const override {
        const QList<File> set = files(document, rendering, QString());
        return {previewOf(set, folder + iosFile(appearances[0]), tr("light")),
                previewOf(set, folder + iosFile(appearances[1]), tr("dark")),
                previewOf(set, folder + iosFile(appearances[2]), tr("tinted"))};
    }

    QList<File> files(const Document& document, const QImage& rendering,
                      const QString&) const override {
        using namespace PlatformArt;
        // The macOS files are the artwork (on the grid where the document asks), the iOS ones
        // the icon as it is.
        const SizedIcon icon = sizedIcon(document, rendering, SizedIcon::Parts::WithForeground);
        QList<File> list{
            {folder + QStringLiteral("Contents.json"), {}, contents},
            {folder + iosFile(appearances[0]),
             [=] { return flattened(icon.at(iosSize), background(document, iosSize)); },
             {}},
            {folder + iosFile(appearances[1]),
             [=] { return scaled(icon.foregroundAt(iosSize), iosSize); },
             {}},
            {folder + iosFile(appearances[2]),
             [=] { return greyscale(scaled(icon.foregroundAt(iosSize), iosSize)); },
             {}}};
        for (int points : macPoints) {
            for (int scale : {1, 2})
                list << File{folder + macFile(points, scale),
                             [=] { return icon.artworkAt(points * scale); },
                             {}};
        }
        return list;
    }
};

} // namespace

const ExportTarget& appleTarget() {
    static const AppleTarget target;
    return target;
}
