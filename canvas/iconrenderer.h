#pragma once

#include "model/iconstyle.h"
#include "model/imagedata.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QRect>

class QPainter;

// Draws the icon from a style record and a list of pictures at canvas factor k, without any
// widget. Working images are c x c (c = 300·k), premultiplied ARGB, transparent where nothing
// is drawn. Kept as an object so that working images may later live between paints.
class IconRenderer {
public:
    explicit IconRenderer(int sizeIndex = 1);

    void setSizeIndex(int k);
    int sizeIndex() const { return k; }

    // The container filled with its background; `shapePath` receives the outline.
    QImage renderContainer(const IconStyle& style, QPainterPath& shapePath) const;

    // Every layer in order over `container`. The selection frame `selectedRect` is drawn only
    // when `forOutput` is false.
    QImage composeIcon(const QImage& container, QPainterPath shapePath, bool forOutput,
                       const IconStyle& style, const QList<ImageData>& images,
                       const QRect& selectedRect = QRect(-1, -1, -1, -1)) const;

    // The whole canvas as the screen shows it, selection frame included.
    QImage renderCanvas(const IconStyle& style, const QList<ImageData>& images,
                        const QRect& selectedRect) const;

    // The finished icon: the icon square (256·k) of the composition, without the frame.
    QImage renderIcon(const IconStyle& style, const QList<ImageData>& images) const;

private:
    int k = 1;

    QImage blankCanvas() const;
    void drawContainerFill(QPainter& painter, QPainterPath shapePath, const QRect& shapeRect,
                           const IconStyle& style) const;
    void draw3dEffect(QPainter& painter, const QImage& container, const QPainterPath& shapePath,
                      const IconStyle& style) const;
    void drawPictures(QPainter& painter, const QList<ImageData>& images) const;
    void drawHorizontalBadge(QPainter& painter, const IconStyle& style) const;
    void drawDiagonalBadge(int corner, QPainter& painter, const IconStyle& style) const;
    void drawBand(QPainter& painter, int bandTop, const IconStyle& style) const;
    void drawBadgeText(QPainter& painter, int bandTop, const IconStyle& style) const;
    void drawGlossy(QPainter& painter) const;
    void drawBorder(QPainter& painter, const QPainterPath& shapePath, const IconStyle& style) const;
    void drawSelectionFrame(QPainter& painter, const QRect& selectedRect) const;
};

// The finished icon of the document (LocalGlobal's style record and pictures) at factor k.
QImage renderDocumentIcon(int sizeIndex);
