#pragma once

#include "canvas/picturereading.h"
#include "picture/pictureintake.h"
#include "render/iconrenderer.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <utility>

class EditedDocument;
class QMimeData;

// The canvas: shows the document's icon and turns the user's clicks, drags, wheel turns, keys and
// drops into edits of the document, which it shows again when the document says it changed.
// Works in canvas pixels (300·k square, k the canvas factor) shown on the widget's 300 x 300.
class CanvasWidget : public QWidget {
    Q_OBJECT

public:
    explicit CanvasWidget(QWidget* parent = nullptr);

    // The document shown and edited; not owned. Set once, before the canvas is shown.
    void setDocument(EditedDocument* document);

    int canvasFactor() const;

    // The picture files among `paths`, added as a drop at `widgetPoint` adds them: one step, the
    // last one selected; the others are told by picturesRefused. Big pictures are read on the
    // side (told by reading), and one such read at a time.
    void addFiles(const QStringList& paths, QPoint widgetPoint);
    // What `data` (the clipboard's; null: nothing) holds, added as a drop at the centre adds it:
    // files, text naming files, an SVG or its text, a picture; told by picturesRefused when
    // there is nothing to add.
    void paste(const QMimeData* data);
    // Pictures already read, each with the file name it came by, added as one step.
    void addPictures(const QList<std::pair<QString, PictureIntake::Picture>>& pictures,
                     QPoint widgetPoint);
    // Where the selected layer lies in canvas pixels; invalid when none is selected.
    QRect selectedRect() const;

    // The icon shown as a file `size` pixels wide holds it (only the layers drawn at that size,
    // scaled as written), enlarged onto the icon square pixel by pixel; 0: every layer as edited.
    // Gestures go on as at every size, on the layers shown.
    void showAtSize(int size);
    int shownSize() const { return atSize; }

Q_SIGNALS:
    // A project file was dropped; it is not a picture to add.
    void projectDropped(const QString& path);
    // Files of one drop that were not taken, each as "name: why"; once per drop that had any.
    void picturesRefused(const QStringList& messages);
    // What is being read on the side, for the status bar; empty once it is over.
    void reading(const QString& what);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    EditedDocument* edited = nullptr;
    IconRenderer renderer;
    PictureReading pictureReading;
    QPoint pressPoint;
    QPoint pressPosition;
    bool isDragging = false;
    // Counts drags, so the moves of one drag make one undo step and the next drag another.
    int dragCount = 0;
    int atSize = 0;
    // The icon at `atSize`, made at the first paint after a change.
    QImage sizedIcon;

    // Puts the selected layer's top-left at `position`, as part of the step `mergeKey`.
    void zoomOrTurn(QWheelEvent* event, QPoint degrees);
    void paintCanvas(QPainter& painter);
    void paintAtSize(QPainter& painter);
    static bool isProjectFile(const QString& path);
    static QByteArray pastedBytes(const QMimeData* data, QString& name);
};
