#include "useraction.h"

#include "document/droppedlayer.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("UserActions", text);
}

// A style change; with a `key`, one control's run of changes merges into one step.
UserAction styleAction(const char* name, const QString& key,
                       std::function<void(IconStyle&)> change) {
    return {tr(name), key.isEmpty() ? QString() : QStringLiteral("style:") + key,
            [change = std::move(change)](Document& d) { change(d.style); }};
}

// The merge key of a run of changes of `aspect` of the selected layer; none without a selection.
QString selectedKey(const Document& document, const QString& aspect) {
    return document.hasSelection()
               ? aspect + QLatin1Char(':') +
                     QString::number(document.layers.at(document.selected).index)
               : QString();
}

// Sets `field` of the selected layer; a run of these on one layer is one step.
UserAction setSelected(const Document& document, const char* name, const QString& aspect,
                       int Layer::*field, int value) {
    return {tr(name), selectedKey(document, aspect), [field, value](Document& d) {
                if (!d.hasSelection())
                    return;
                d.layers[d.selected].*field = value;
            }};
}

} // namespace

namespace UserActions {

UserAction addPictures(const QList<std::pair<QString, PictureIntake::Picture>>& pictures,
                       QPoint widgetPoint) {
    return {tr("Add Pictures"), QString(), [pictures, widgetPoint](Document& d) {
                for (const auto& [path, picture] : pictures) {
                    d.layers.append(droppedLayer(path, picture, widgetPoint, d.style.canvasFactor,
                                                 d.nextFreeNumber()));
                    d.selected = int(d.layers.size()) - 1;
                }
            }};
}

// The deletion ends with nothing selected, so no view goes on showing a neighbour as selected.
UserAction deleteSelected() {
    return {tr("Delete Picture"), QString(), [](Document& d) {
                if (!d.hasSelection())
                    return;
                d.layers.removeAt(d.selected);
                d.selected = Document::noSelection;
            }};
}

UserAction moveSelected(QPoint position, const QString& mergeKey) {
    return {tr("Move Picture"), mergeKey, [position](Document& d) {
                if (d.hasSelection())
                    d.layers[d.selected].position = position;
            }};
}

UserAction zoomSelected(const Document& document, int scale) {
    return setSelected(document, "Zoom Picture", QStringLiteral("scale"), &Layer::scale, scale);
}

UserAction turnSelected(const Document& document, int rotation) {
    return setSelected(document, "Turn Picture", QStringLiteral("rotation"), &Layer::rotation,
                       rotation);
}

UserAction sizeRangeSelected(const Document& document, int minSize, int maxSize) {
    return {tr("Picture Sizes"), selectedKey(document, QStringLiteral("sizes")),
            [minSize, maxSize](Document& d) {
                if (!d.hasSelection())
                    return;
                d.layers[d.selected].minSize = minSize;
                d.layers[d.selected].maxSize = maxSize;
            }};
}

UserAction moveLayer(int from, int to) {
    return {tr("Move Layer"), QString(), [from, to](Document& d) {
                d.selected = from;
                d.moveLayer(from, to);
            }};
}

UserAction shape(int shape) {
    return styleAction("Shape", QString(), [shape](IconStyle& s) { s.shape = shape; });
}

UserAction radius(int radius) {
    return styleAction("Radius", QStringLiteral("radius"),
                       [radius](IconStyle& s) { s.radius = radius; });
}

UserAction background(bool on) {
    return styleAction("Background", QString(), [on](IconStyle& s) { s.useBackground = on; });
}

UserAction backgroundStyle(int backStyle) {
    return styleAction("Background Style", QString(),
                       [backStyle](IconStyle& s) { s.backStyle = backStyle; });
}

UserAction gradientDirection(int orientation) {
    return styleAction("Gradient Direction", QString(),
                       [orientation](IconStyle& s) { s.backOrientation = orientation; });
}

UserAction effect3d(bool on) {
    return styleAction("3D Effect", QString(), [on](IconStyle& s) { s.useBack3dEffect = on; });
}

UserAction border(bool on) {
    return styleAction("Border", QString(), [on](IconStyle& s) { s.useBorder = on; });
}

UserAction borderWidth(int width) {
    return styleAction("Border Width", QStringLiteral("borderWidth"),
                       [width](IconStyle& s) { s.borderWidth = width; });
}

UserAction glossy(bool on) {
    return styleAction("Glossy", QString(), [on](IconStyle& s) { s.useGlossy = on; });
}

UserAction colour(QColor IconStyle::*field, const QColor& color) {
    return styleAction("Colour", QString(), [field, color](IconStyle& s) { s.*field = color; });
}

UserAction badge(bool on) {
    return styleAction("Badge", QString(), [on](IconStyle& s) { s.useBadge = on; });
}

UserAction badgeTextSize(int size) {
    return styleAction("Badge Text Size", QStringLiteral("badgeTextSize"), [size](IconStyle& s) {
        s.badgeTextSize = size;
        fitBadgeFont(s.badgeTextFont, size);
    });
}

UserAction badgeLineWidth(int width) {
    return styleAction("Badge Line Width", QStringLiteral("badgeLineWidth"),
                       [width](IconStyle& s) { s.badgeLineWidth = width; });
}

UserAction badgeText(const QString& text) {
    return styleAction("Badge Text", QStringLiteral("badgeText"),
                       [text](IconStyle& s) { s.badgeText = text; });
}

// The font box hands back the family just picked with the other attributes of the font it was
// last given, so the pixel size of that font comes back until the text size changes again.
UserAction badgeFont(const QFont& font) {
    return styleAction("Badge Font", QString(), [font](IconStyle& s) {
        s.badgeTextFont = font;
        s.badgeTextFont.setWeight(QFont::Bold);
    });
}

UserAction badgePosition(int position) {
    return styleAction("Badge Position", QString(), [position](IconStyle& s) {
        if (s.badgeOrientation == 0)
            s.badgeOrientationDiagonal = position;
        else
            s.badgeOrientationHorizontal = position;
    });
}

UserAction badgeOrientation(int orientation) {
    return styleAction("Badge Orientation", QString(),
                       [orientation](IconStyle& s) { s.badgeOrientation = orientation; });
}

UserAction canvasSize(int index) {
    return styleAction("Canvas Size", QString(),
                       [index](IconStyle& s) { s.canvasFactor = index + 1; });
}

UserAction clipPictures(bool on) {
    return styleAction("Clip Pictures", QString(), [on](IconStyle& s) { s.clipImage = on; });
}

UserAction outputTarget(const QString& key) {
    return {tr("Output"), QString(), [key](Document& d) { d.output.target = key; }};
}

UserAction appleGrid(bool on) {
    return {tr("macOS Grid"), QString(), [on](Document& d) { d.output.appleGrid = on; }};
}

UserAction pngSizes(const QList<int>& sizes) {
    return {tr("PNG Sizes"), QString(), [sizes](Document& d) { d.output.pngSizes = sizes; }};
}

UserAction iconSizes(const QList<int>& sizes, bool sharp) {
    return {tr("Icon Sizes"), QString(), [sizes, sharp](Document& d) {
                d.output.iconSizes = sizes;
                d.output.sharpSizes = sharp;
            }};
}

void fitBadgeFont(QFont& font, int size) {
    // A pixel size of 0 is allowed by the control but means nothing to QFont.
    if (size > 0)
        font.setPixelSize(size);
    font.setWeight(QFont::Bold);
}

} // namespace UserActions
