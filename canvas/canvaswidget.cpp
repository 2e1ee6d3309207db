#include "canvaswidget.h"

#include "canvas/canvasrules.h"
#include "document/droppedlayer.h"
#include "document/localglobal.h"
#include "document/projectfile.h"
#include "picture/pictureintake.h"
#include "picture/picturelimits.h"
#include "trace/trace.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>

using LocalGlobal::LImageData;

CanvasWidget::CanvasWidget(QWidget* parent) : QWidget(parent) {
    // Qt's default budget (128 MB) refuses an ordinary 10000 x 10000 photo; a picture whose header
    // claims far more than this is still refused before anything is allocated.
    QImageReader::setAllocationLimit(PictureLimits::allocationLimitMB);
    setFocusPolicy(Qt::StrongFocus);
    // Behind the icon on the screen only: a checkerboard where it is transparent and the edge of
    // the icon square, so it is clear where the icon is. Never part of a rendering.
    QPalette ground = palette();
    ground.setBrush(QPalette::Window, QBrush(CanvasRules::canvasGround()));
    setPalette(ground);
    setAutoFillBackground(true);
}

void CanvasWidget::setSizeIndex(int k) {
    qCDebug(lcCanvas).nospace() << "sizeIndex: " << k;
    sizeIndex = k;
    imageSize = 256 * k;
    canvasSize = 300 * k;
    renderer.setSizeIndex(k);
    qCDebug(lcCanvas).nospace() << "imageSize: " << imageSize;
    qCDebug(lcCanvas).nospace() << "canvasSize: " << canvasSize;
    // Set before the repaint, so that the first size shows at once on a visible canvas.
    isCanvasSizeSet = true;
    repaint();
}

void CanvasWidget::updateData() {
    qCDebug(lcCanvas) << "updateData";
    repaint();
}

bool CanvasWidget::hasSelection() const {
    return selectIndex >= 0 && selectIndex < LImageData.size();
}

void CanvasWidget::selectByName(const QString& name) {
    if (name == QLatin1String("-1")) {
        selectedRect = QRect(-1, -1, -1, -1);
        selectIndex = -1;
        return;
    }
    const int position = LocalGlobal::findImageByName(name);
    if (position < 0)
        return;
    selectedRect = LImageData.at(position).rect;
    selectIndex = position;
    repaint();
    emit itemSelected(position);
}

void CanvasWidget::setSelectedPosition(int x, int y) {
    qCDebug(lcCanvas).nospace() << "selectIndex: " << selectIndex;
    if (!hasSelection())
        return;
    moveSelected(QPoint(x, y));
    repaint();
}

void CanvasWidget::setSelectedScale(int percent) {
    if (!hasSelection())
        return;
    LImageData[selectIndex].scale = clampedScale(percent);
    updateSelectedImage();
}

void CanvasWidget::setSelectedRotation(int degrees) {
    if (!hasSelection())
        return;
    LImageData[selectIndex].rotation = degrees;
    updateSelectedImage();
}

void CanvasWidget::moveSelected(QPoint position) {
    Layer& object = LImageData[selectIndex];
    object.moveTo(position);
    selectedRect = object.rect;
}

void CanvasWidget::updateSelectedImage() {
    if (!hasSelection())
        return;
    Layer& object = LImageData[selectIndex];
    object.updateImage();
    selectedRect = object.rect;
    repaint();
}

void CanvasWidget::renderContainer(QImage& image, QPainterPath& shapePath) const {
    image = renderer.renderContainer(LocalGlobal::iconStyle, shapePath);
}

QImage CanvasWidget::composeIcon(const QImage& container, QPainterPath shapePath,
                                 bool forOutput) const {
    return renderer.composeIcon(container, shapePath, forOutput, LocalGlobal::iconStyle, LImageData,
                                selectedRect);
}

QImage& CanvasWidget::renderIcon(QImage& image) {
    image = renderer.renderIcon(LocalGlobal::iconStyle, LImageData);
    return image;
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint point = event->position().toPoint();
    const int hit = CanvasRules::hitTest(LImageData, CanvasRules::probeRect(point, sizeIndex));
    if (hit >= 0) {
        selectedRect = LImageData.at(hit).rect;
        selectIndex = hit;
        emit itemSelected(hit);
        pressPoint = point;
        // The form's slot may have changed the list; take the object as it is now.
        if (hasSelection()) {
            pressPosition = LImageData.at(selectIndex).position;
            isDragging = true;
        }
        repaint();
    }
    // Clicked, the canvas takes the keys: Delete and the arrows act on the selected picture.
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent*) {
    if (!isDragging)
        return;
    isDragging = false;
    emit dragFinished();
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!isDragging || !hasSelection())
        return;
    moveSelected(CanvasRules::draggedPosition(pressPosition, pressPoint,
                                              event->position().toPoint(), sizeIndex));
    repaint();
    emit itemMoved(selectIndex);
}

void CanvasWidget::wheelEvent(QWheelEvent* event) {
    if (!hasSelection())
        return;
    const QPoint degrees = CanvasRules::wheelDegrees(event->angleDelta());
    if (degrees.isNull())
        return;
    // Taken from the event, so Shift works whether or not the canvas has the keyboard focus.
    LocalGlobal::isShiftButtonPressed = event->modifiers().testFlag(Qt::ShiftModifier);
    qCDebug(lcCanvas).nospace() << "LocalGlobal::isShiftButtonPressed: "
                                << LocalGlobal::isShiftButtonPressed;
    Layer& object = LImageData[selectIndex];
    // With Ctrl a notch goes ten times as far when zooming, fifteen times when turning.
    const bool coarse = event->modifiers().testFlag(Qt::ControlModifier);
    if (LocalGlobal::isShiftButtonPressed) {
        // Some systems turn a Shift + wheel turn into a sideways one.
        const int turned = degrees.y() != 0 ? degrees.y() : degrees.x();
        object.rotation = CanvasRules::stepped(object.rotation, CanvasRules::wheelSteps(turned),
                                               coarse ? 15 : 1, -maximumRotation, maximumRotation);
        updateSelectedImage();
        emit itemRotated(selectIndex);
    } else {
        object.scale = CanvasRules::stepped(object.scale, CanvasRules::wheelSteps(degrees.y()),
                                            coarse ? 10 : 1, minimumScale, maximumScale);
        updateSelectedImage();
        emit itemScaled(selectIndex);
    }
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    qCDebug(lcCanvas) << "keyPressEvent";
    if (event->key() == Qt::Key_Shift)
        LocalGlobal::isShiftButtonPressed = true;
    if (event->key() == Qt::Key_Delete && hasSelection())
        emit deleteRequested();
    const QPoint nudge = CanvasRules::arrowNudge(event->key(), event->modifiers());
    if (nudge.isNull() || !hasSelection())
        return;
    moveSelected(LImageData.at(selectIndex).position + nudge);
    repaint();
    emit itemMoved(selectIndex);
    emit dragFinished();
}

void CanvasWidget::keyReleaseEvent(QKeyEvent* event) {
    qCDebug(lcCanvas) << "keyReleaseEvent";
    if (event->key() == Qt::Key_Shift)
        LocalGlobal::isShiftButtonPressed = false;
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    if (!isCanvasSizeSet)
        return;
    QImage container;
    QPainterPath shapePath;
    renderContainer(container, shapePath);
    const QImage composed = composeIcon(container, shapePath, false);
    // Where on the screen, so a script driving the real window knows where to drop and look.
    qCDebug(lcCanvas) << composed.size() << "shown at" << QRect(mapToGlobal(QPoint(0, 0)), size());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // Scaled to the screen's own pixels: sharp at 150 % and 200 %, as before at 100 %.
    const qreal ratio = devicePixelRatioF();
    QImage shown =
        composed.scaled(QSize(300, 300) * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    painter.drawImage(0, 0, shown);
    QWidget::paintEvent(event);
    painter.end();
}

void CanvasWidget::dragEnterEvent(QDragEnterEvent* event) {
    // A drag may announce URLs and carry none.
    const QList<QUrl> urls = event->mimeData()->urls();
    const QString first = urls.isEmpty() ? QString() : urls.constFirst().toLocalFile();
    // Any picture among the files makes the drop worth taking; the others are told at the drop.
    const bool anyPicture = std::any_of(urls.cbegin(), urls.cend(), [](const QUrl& url) {
        return PictureIntake::isPictureFile(url.toLocalFile());
    });
    if (anyPicture || isProjectFile(first))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CanvasWidget::dragMoveEvent(QDragMoveEvent* event) {
    event->accept();
    QWidget::dragMoveEvent(event);
}

void CanvasWidget::dropEvent(QDropEvent* event) {
    const QPointF position = event->position();
    const QPoint cursorPoint(int(std::lround(position.x())), int(std::lround(position.y())));
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && isProjectFile(urls.constFirst().toLocalFile())) {
        event->acceptProposedAction();
        emit projectDropped(urls.constFirst().toLocalFile());
        return;
    }
    QStringList refused;
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        const PictureIntake::Picture picture = PictureIntake::read(path);
        if (picture.refusal.isEmpty()) {
            addImage(cursorPoint, path, picture);
            continue;
        }
        qCDebug(lcCanvas).nospace().noquote() << "Cannot load: " << url.toDisplayString();
        refused << PictureIntake::refusalMessage(url.fileName(), picture.refusal);
    }
    event->acceptProposedAction();
    if (!refused.isEmpty())
        emit picturesRefused(refused);
}

bool CanvasWidget::isProjectFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() &&
           info.suffix().compare(QLatin1String(ProjectFile::suffix), Qt::CaseInsensitive) == 0;
}

void CanvasWidget::addImage(QPoint cursorPoint, const QString& filePath,
                            const PictureIntake::Picture& picture) {
    const Layer imageData =
        droppedLayer(filePath, picture, cursorPoint, sizeIndex, LocalGlobal::nextFreeIndex());
    qCDebug(lcCanvas).nospace() << "imageData.scale: " << imageData.scale;
    qCDebug(lcCanvas).nospace() << "imageData.position: " << imageData.position;
    qCDebug(lcCanvas).nospace() << "cursor point: " << cursorPoint;
    selectedRect = imageData.rect;
    qCDebug(lcCanvas).nospace() << "imageData.rect: " << imageData.rect;
    LImageData.append(imageData);
    repaint();
    emit addItem(int(LImageData.size()) - 1, imageData.image);
}
