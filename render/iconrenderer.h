#pragma once

#include "document/document.h"
#include "document/iconstyle.h"
#include "document/layer.h"
#include "render/layerpixels.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRect>

#include <optional>

class QPainter;

// Draws the icon from a style record and a list of pictures at canvas factor k, without any
// widget. Working images are c x c (c = 300·k), premultiplied ARGB, transparent where nothing
// is drawn.
//
// A paint redraws every layer, but the renderer keeps between paints what has not changed: its
// working images (fresh large allocations are slow on many systems), the container, and the
// composition's first layers (the container over the clear canvas and the 3D effect), which
// depend on the container fields of the style alone. The result is the same, bit for bit, as
// drawing everything afresh. An image handed out is never drawn into again.
class IconRenderer {
public:
    explicit IconRenderer(int canvasFactor = 1);

    void setCanvasFactor(int k);
    int canvasFactor() const { return k; }

    // Pixels per canvas pixel of the images drawn (the screen's device pixel ratio, for the
    // canvas): shapes and text are drawn at those pixels, the images carry the ratio. Pictures
    // are drawn from their sources at `pictureRatio` (at most `ratio`) pixels per canvas pixel,
    // as many as the screen shows of them; at 1 or less the layers' own pixels are enlarged. The
    // icon written is always drawn at 1.
    void setPixelRatio(qreal ratio, qreal pictureRatio);
    void setPixelRatio(qreal ratio) { setPixelRatio(ratio, ratio); }

    // The container filled with its background; `shapePath` receives the outline.
    QImage renderContainer(const IconStyle& style, QPainterPath& shapePath) const;

    // Every layer in order over `container`. The selection frame `selectedRect` is drawn only
    // when `forOutput` is false.
    QImage composeIcon(const QImage& container, QPainterPath shapePath, bool forOutput,
                       const IconStyle& style, const QList<Layer>& images,
                       const QRect& selectedRect = QRect(-1, -1, -1, -1)) const;

    // The whole canvas as the screen shows it, selection frame included.
    QImage renderCanvas(const IconStyle& style, const QList<Layer>& images,
                        const QRect& selectedRect) const;

    // The finished icon: the icon square (256·k) of the composition, without the frame, always
    // at one pixel per canvas pixel.
    QImage renderIcon(const IconStyle& style, const QList<Layer>& images) const;

private:
    // Everything the container image and outline are drawn from.
    struct ContainerKey {
        int k = 0;
        qreal ratio = 1;
        int shape = 0;
        int radius = 0;
        bool useBackground = false;
        int backStyle = 0;
        int backOrientation = 0;
        QColor backColor1;
        QColor backColor2;
        bool operator==(const ContainerKey& other) const;
    };

    // Everything the composition's first layers are drawn from.
    struct BaseKey {
        qint64 container = 0;
        QPainterPath shapePath;
        bool threeD = false;
        int offset = 0;
        bool operator==(const BaseKey& other) const;
    };

    int k = 1;
    qreal ratio = 1;
    // Kept between paints; mutable because keeping them changes no result.
    mutable std::optional<ContainerKey> containerKey;
    mutable QImage containerImage;
    mutable QPainterPath containerPath;
    mutable std::optional<BaseKey> baseKey;
    mutable QImage baseImage;
    mutable QImage canvasImage;
    // Whether the pictures of the last paint have only opaque pixels, by their images' cache keys
    // (new with any change of pixels), so each picture is looked through once.
    mutable QHash<qint64, bool> opaqueImages;
    // The pictures of the last paint drawn at pictureRatio, by their layer images' cache keys.
    struct ScreenPicture {
        QRect part;
        qreal ratio = 0;
        QImage image;
    };
    mutable QHash<qint64, ScreenPicture> screenPictures;
    // The layers' made pixels of the last paint, held so that the store of made pixels keeps them
    // (LayerPixels): a paint never makes again what the last one made.
    mutable QList<QImage> shownPictures;
    qreal pictureRatio = 1;

    ContainerKey containerKeyOf(const IconStyle& style) const;
    void prepareCanvas(QImage& image) const;
    void clearCanvas(QImage& image) const;
    bool drawContainer(const IconStyle& style) const;
    const QImage& baseLayers(const QImage& container, const QPainterPath& shapePath, bool threeD,
                             int offset) const;
    void drawContainerFill(QPainter& painter, QPainterPath shapePath, const QRect& shapeRect,
                           const IconStyle& style) const;
    void draw3dEffect(QPainter& painter, const QImage& container, const QPainterPath& shapePath,
                      int offset) const;
    void setShadeTools(QPainter& painter) const;
    QList<LayerPixels::Made> madePictures(const QList<Layer>& images) const;
    void drawPictures(QPainter& painter, const QList<Layer>& images) const;
    void drawScreenPictures(QPainter& painter, const QList<Layer>& images) const;
    bool isOpaque(const QImage& image, QHash<qint64, bool>& known) const;
    void drawHorizontalBadge(QPainter& painter, const IconStyle& style) const;
    void drawDiagonalBadge(int corner, QPainter& painter, const IconStyle& style) const;
    void drawBand(QPainter& painter, int bandTop, const IconStyle& style) const;
    void drawBadgeText(QPainter& painter, int bandTop, const IconStyle& style) const;
    void drawGlossy(QPainter& painter) const;
    void drawBorder(QPainter& painter, const QPainterPath& shapePath, const IconStyle& style) const;
    void drawSelectionFrame(QPainter& painter, const QRect& selectedRect) const;
};

// The finished icon of `document` at its canvas factor.
QImage renderDocumentIcon(const Document& document);
