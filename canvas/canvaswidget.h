#pragma once

#include "picture/pictureintake.h"
#include "render/iconrenderer.h"

#include <QImage>
#include <QList>
#include <QPainterPath>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

class QPainter;

// The canvas: shows the icon being built and lets the user pick, drag, zoom and rotate pictures.
// Works in canvas pixels (300 * sizeIndex square) shown scaled to the widget's 300 x 300.
class CanvasWidget : public QWidget {
    Q_OBJECT

public:
    explicit CanvasWidget(QWidget* parent = nullptr);

    void setSizeIndex(int k);
    void updateData();
    void selectByName(const QString& name);
    void setSelectedPosition(int x, int y);
    void setSelectedScale(int percent);
    void setSelectedRotation(int degrees);

    // The finished icon: imageSize x imageSize, premultiplied ARGB, without the selection frame.
    QImage& renderIcon(QImage& image);

    int getSizeIndex() const { return sizeIndex; }
    int getImageSize() const { return imageSize; }
    int getCanvasSize() const { return canvasSize; }
    int getSelectIndex() const { return selectIndex; }
    QRect getSelectedRect() const { return selectedRect; }
    // A picture is being dragged: the mouse button that picked it is still down.
    bool dragging() const { return isDragging; }

Q_SIGNALS:
    void addItem(int imageDataIndex, QImage image);
    void itemSelected(int imageDataIndex);
    void addURLs(QList<QString> urls);
    void itemMoved(int imageDataIndex);
    void itemScaled(int imageDataIndex);
    void itemRotated(int imageDataIndex);
    // The button that dragged a picture was let go, or an arrow key moved it.
    void dragFinished();
    // Delete was pressed on the canvas with a picture selected.
    void deleteRequested();
    // A project file was dropped; it is not a picture to add.
    void projectDropped(const QString& path);
    // Files of one drop that were not taken, each as "name: why"; once per drop that had any.
    void picturesRefused(const QStringList& messages);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool isCanvasSizeSet = false;
    int imageSize = 256;
    int canvasSize = 300;
    int sizeIndex = 1;
    QRect selectedRect = QRect(-1, -1, -1, -1);
    QPoint pressPoint;
    QPoint pressPosition;
    bool isDragging = false;
    int selectIndex = -1;
    IconRenderer renderer;

    void renderContainer(QImage& image, QPainterPath& shapePath) const;
    QImage composeIcon(const QImage& container, QPainterPath shapePath, bool forOutput) const;
    bool hasSelection() const;
    // Puts the selected object's top-left at `position` and the selection frame around it.
    void moveSelected(QPoint position);
    void updateSelectedImage();
    static bool isProjectFile(const QString& path);
    void addImage(QPoint cursorPoint, const QString& filePath,
                  const PictureIntake::Picture& picture);
};
