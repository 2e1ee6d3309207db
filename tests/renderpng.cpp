// Developer tool: writes the finished icon (or the whole canvas) of a style to a PNG file, so a
// person can look at a render without starting the application. Not installed.
#include "canvas/iconrenderer.h"
#include "model/iconstyle.h"

#include <QCommandLineParser>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>

namespace {

struct Options {
    int k = 1;
    bool wholeCanvas = false;
    QString output;
    IconStyle style;
    QList<ImageData> pictures;
};

// The badge text is measured the way the form does it: width in the badge font, height of a
// line at the text size.
void measureBadgeText(IconStyle& style) {
    style.badgeTextFont.setPixelSize(style.badgeTextSize);
    style.badgeTextFont.setWeight(QFont::Bold);
    style.badgeTextWidth = QFontMetrics(style.badgeTextFont).horizontalAdvance(style.badgeText);
    QFont lineFont;
    lineFont.setPixelSize(style.badgeTextSize);
    style.badgeTextHeight = QFontMetrics(lineFont).height();
}

// A test picture drawn here: a blue disc with a yellow square, on transparency.
ImageData samplePicture(QPoint position, int edge) {
    ImageData object;
    object.sourceImage = QImage(edge, edge, QImage::Format_ARGB32_Premultiplied);
    object.sourceImage.fill(0);
    QPainter painter(&object.sourceImage);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x20, 0x40, 0xC0));
    painter.drawEllipse(0, 0, edge, edge);
    painter.fillRect(edge / 4, edge / 4, edge / 2, edge / 2, QColor(0xF0, 0xD0, 0x20));
    painter.end();
    object.image = object.sourceImage;
    object.position = position;
    object.rect = QRect(position, object.image.size());
    return object;
}

int intValue(const QCommandLineParser& parser, const QString& name, int fallback) {
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    return ok ? value : fallback;
}

bool parse(const QStringList& arguments, Options& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes a render of an icon style to PNG."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("PNG file to write"));
    const auto option = [&](const char* name, const char* help, const char* valueName = nullptr) {
        parser.addOption(
            valueName ? QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help),
                                           QString::fromLatin1(valueName))
                      : QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(help)));
    };
    option("k", "canvas factor 1 to 3", "k");
    option("shape", "0 rectangle, 1 rounded rectangle, 2 circle", "n");
    option("radius", "corner radius", "px");
    option("background", "fill the container");
    option("solid", "solid background instead of a gradient");
    option("orientation", "gradient orientation 0 to 7", "n");
    option("effect3d", "3D edge");
    option("border", "draw the border");
    option("border-width", "border width", "px");
    option("glossy", "glossy highlight");
    option("clip", "clip pictures to the shape");
    option("badge", "diagonal badge at corner 0 to 3", "n");
    option("badge-horizontal", "horizontal badge, 0 bottom or 1 top", "n");
    option("text", "badge text", "text");
    option("picture", "add a drawn picture at x,y", "x,y");
    option("canvas", "write the whole canvas with the selection frame");
    if (!parser.parse(arguments) || parser.positionalArguments().size() != 1) {
        std::fputs(qPrintable(parser.helpText()), stderr);
        return false;
    }

    IconStyle& style = options.style;
    options.k = intValue(parser, QStringLiteral("k"), 1);
    options.output = parser.positionalArguments().constFirst();
    options.wholeCanvas = parser.isSet(QStringLiteral("canvas"));
    style.shape = intValue(parser, QStringLiteral("shape"), style.shape);
    style.radius = intValue(parser, QStringLiteral("radius"), style.radius);
    style.useBackground = parser.isSet(QStringLiteral("background"));
    style.backStyle = parser.isSet(QStringLiteral("solid")) ? 0 : 1;
    style.backOrientation = intValue(parser, QStringLiteral("orientation"), style.backOrientation);
    style.useBack3dEffect = parser.isSet(QStringLiteral("effect3d"));
    style.useBorder = parser.isSet(QStringLiteral("border"));
    style.borderWidth = intValue(parser, QStringLiteral("border-width"), style.borderWidth);
    style.useGlossy = parser.isSet(QStringLiteral("glossy"));
    style.clipImage = parser.isSet(QStringLiteral("clip"));
    if (parser.isSet(QStringLiteral("badge"))) {
        style.useBadge = true;
        style.badgeOrientation = 0;
        style.badgeOrientationDiagonal = intValue(parser, QStringLiteral("badge"), 3);
    }
    if (parser.isSet(QStringLiteral("badge-horizontal"))) {
        style.useBadge = true;
        style.badgeOrientation = 1;
        style.badgeOrientationHorizontal = intValue(parser, QStringLiteral("badge-horizontal"), 1);
    }
    if (parser.isSet(QStringLiteral("text")))
        style.badgeText = parser.value(QStringLiteral("text"));
    measureBadgeText(style);
    for (const QString& place : parser.values(QStringLiteral("picture"))) {
        const QStringList xy = place.split(QLatin1Char(','));
        if (xy.size() == 2)
            options.pictures << samplePicture(QPoint(xy[0].toInt(), xy[1].toInt()),
                                              120 * options.k);
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    Options options;
    if (!parse(app.arguments(), options))
        return 2;
    const IconRenderer renderer(options.k);
    const QRect frame =
        options.pictures.isEmpty() ? QRect(-1, -1, -1, -1) : options.pictures.constLast().rect;
    const QImage image = options.wholeCanvas
                             ? renderer.renderCanvas(options.style, options.pictures, frame)
                             : renderer.renderIcon(options.style, options.pictures);
    QImageWriter writer(options.output, "png");
    if (!writer.write(image)) {
        std::fprintf(stderr, "Cannot write %s: %s\n", qPrintable(options.output),
                     qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
}
