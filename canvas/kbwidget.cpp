#include "kbwidget.h"

#include "canvas/canvasrules.h"
#include "model/localglobal.h"
#include "model/projectfile.h"
#include "model/trace.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>

#include <cmath>

using LocalGlobal::LImageData;

KBWidget::KBWidget(QWidget* parent) : QWidget(parent) {
    // Qt's default budget (128 MB) refuses an ordinary 10000 x 10000 photo; a picture whose header
    // claims far more than this is still refused before anything is allocated.
    QImageReader::setAllocationLimit(CanvasRules::pictureAllocationLimitMB);
    setFocus(Qt::OtherFocusReason);
}

void KBWidget::setSizeIndex(int k) {
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

void KBWidget::updateData() {
    qCDebug(lcCanvas) << "updateData";
    repaint();
}

bool KBWidget::hasSelection() const {
    return selectIndex >= 0 && selectIndex < LImageData.size();
}

void KBWidget::selectByName(const QString& name) {
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

void KBWidget::setSelectedPosition(int x, int y) {
    qCDebug(lcCanvas).nospace() << "selectIndex: " << selectIndex;
    if (!hasSelection())
        return;
    moveSelected(QPoint(x, y));
    repaint();
}

void KBWidget::setSelectedScale(int percent) {
    if (!hasSelection())
        return;
    LImageData[selectIndex].scale = CanvasRules::clampedScale(percent);
    updateSelectedImage();
}

void KBWidget::setSelectedRotation(int degrees) {
    if (!hasSelection())
        return;
    LImageData[selectIndex].rotation = degrees;
    updateSelectedImage();
}

void KBWidget::moveSelected(QPoint position) {
    ImageData& object = LImageData[selectIndex];
    object.position = position;
    object.rect = QRect(position, object.image.size());
    selectedRect = object.rect;
}

void KBWidget::updateSelectedImage() {
    if (!hasSelection())
        return;
    ImageData& object = LImageData[selectIndex];
    object.updateImage();
    selectedRect = object.rect;
    repaint();
}

void KBWidget::renderContainer(QImage& image, QPainterPath& shapePath) const {
    image = renderer.renderContainer(LocalGlobal::iconStyle, shapePath);
}

QImage KBWidget::composeIcon(const QImage& container, QPainterPath shapePath,
                             bool forOutput) const {
    return renderer.composeIcon(container, shapePath, forOutput, LocalGlobal::iconStyle, LImageData,
                                selectedRect);
}

QImage& KBWidget::renderIcon(QImage& image) {
    image = renderer.renderIcon(LocalGlobal::iconStyle, LImageData);
    return image;
}

void KBWidget::mousePressEvent(QMouseEvent* event) {
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
    QWidget::mousePressEvent(event);
}

void KBWidget::mouseReleaseEvent(QMouseEvent*) {
    if (!isDragging)
        return;
    isDragging = false;
    emit dragFinished();
}

void KBWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!isDragging || !hasSelection())
        return;
    moveSelected(CanvasRules::draggedPosition(pressPosition, pressPoint,
                                              event->position().toPoint(), sizeIndex));
    repaint();
    emit itemMoved(selectIndex);
}

void KBWidget::wheelEvent(QWheelEvent* event) {
    if (!hasSelection())
        return;
    const QPoint degrees = CanvasRules::wheelDegrees(event->angleDelta());
    if (degrees.isNull())
        return;
    // Taken from the event, so Shift works whether or not the canvas has the keyboard focus.
    LocalGlobal::isShiftButtonPressed = event->modifiers().testFlag(Qt::ShiftModifier);
    qCDebug(lcCanvas).nospace() << "LocalGlobal::isShiftButtonPressed: "
                                << LocalGlobal::isShiftButtonPressed;
    ImageData& object = LImageData[selectIndex];
    if (LocalGlobal::isShiftButtonPressed) {
        // Some systems turn a Shift + wheel turn into a sideways one.
        const int turned = degrees.y() != 0 ? degrees.y() : degrees.x();
        object.rotation += CanvasRules::wheelSteps(turned);
        updateSelectedImage();
        emit itemRotated(selectIndex);
    } else {
        object.scale =
            CanvasRules::clampedScale(object.scale + CanvasRules::wheelSteps(degrees.y()));
        updateSelectedImage();
        emit itemScaled(selectIndex);
    }
}

void KBWidget::keyPressEvent(QKeyEvent* event) {
    qCDebug(lcCanvas) << "keyPressEvent";
    if (event->key() == Qt::Key_Shift)
        LocalGlobal::isShiftButtonPressed = true;
}

void KBWidget::keyReleaseEvent(QKeyEvent* event) {
    qCDebug(lcCanvas) << "keyReleaseEvent";
    if (event->key() == Qt::Key_Shift)
        LocalGlobal::isShiftButtonPressed = false;
}

void KBWidget::paintEvent(QPaintEvent* event) {
    if (!isCanvasSizeSet)
        return;
    QImage container;
    QPainterPath shapePath;
    renderContainer(container, shapePath);
    const QImage composed = composeIcon(container, shapePath, false);
    qCDebug(lcCanvas) << composed.size();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(0, 0,
                      composed.scaled(300, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    QWidget::paintEvent(event);
    painter.end();
}

void KBWidget::dragEnterEvent(QDragEnterEvent* event) {
    // A drag may announce URLs and carry none.
    const QList<QUrl> urls = event->mimeData()->urls();
    const QString first = urls.isEmpty() ? QString() : urls.constFirst().toLocalFile();
    if (isImageFile(first) || isProjectFile(first))
        event->acceptProposedAction();
    else
        event->ignore();
}

void KBWidget::dragMoveEvent(QDragMoveEvent* event) {
    event->accept();
    QWidget::dragMoveEvent(event);
}

void KBWidget::dropEvent(QDropEvent* event) {
    const QPointF position = event->position();
    const QPoint cursorPoint(int(std::lround(position.x())), int(std::lround(position.y())));
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && isProjectFile(urls.constFirst().toLocalFile())) {
        event->acceptProposedAction();
        emit projectDropped(urls.constFirst().toLocalFile());
        return;
    }
    for (const QUrl& url : urls) {
        const QString path = url.toLocalFile();
        if (isImageFile(path))
            addImage(cursorPoint, path);
    }
    event->acceptProposedAction();
}

bool KBWidget::isProjectFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() &&
           info.suffix().compare(QLatin1String(ProjectFile::suffix), Qt::CaseInsensitive) == 0;
}

bool KBWidget::isImageFile(const QString& path) const {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return false;
    const QString suffix = CanvasRules::lastSuffix(info.completeSuffix());
    qCDebug(lcCanvas).nospace().noquote() << "ext: " << suffix;
    return CanvasRules::isAcceptedSuffix(suffix);
}

void KBWidget::addImage(QPoint cursorPoint, const QString& filePath) {
    ImageData imageData;
    imageData.filePath = filePath;
    // The bytes are kept for project files; a file that only looks like a picture would become an
    // invisible object nobody can pick.
    QFile file(filePath);
    if (file.open(QIODevice::ReadOnly))
        imageData.fileBytes = file.readAll();
    // A picture a project file could not carry is not taken either.
    if (!imageData.sourceImage.loadFromData(imageData.fileBytes) ||
        imageData.sourceImage.width() > ProjectFile::maxImageSide ||
        imageData.sourceImage.height() > ProjectFile::maxImageSide) {
        qCDebug(lcCanvas).nospace().noquote() << "Cannot load: " << filePath;
        return;
    }
    imageData.scale = CanvasRules::fitScale(imageData.sourceImage.size(), canvasSize);
    imageData.rotation = 0;
    qCDebug(lcCanvas).nospace() << "imageData.scale: " << imageData.scale;
    imageData.image = imageData.scale == 100
                          ? imageData.sourceImage
                          : scaledSourceImage(imageData.sourceImage, imageData.scale);
    imageData.position =
        CanvasRules::centredPosition(cursorPoint, sizeIndex, imageData.image.size());
    qCDebug(lcCanvas).nospace() << "imageData.position: " << imageData.position;
    qCDebug(lcCanvas).nospace() << "cursor point: " << cursorPoint;
    imageData.rect = QRect(imageData.position, imageData.image.size());
    imageData.index = LocalGlobal::nextFreeIndex();
    selectedRect = imageData.rect;
    qCDebug(lcCanvas).nospace() << "imageData.rect: " << imageData.rect;
    LImageData.append(imageData);
    repaint();
    emit addItem(int(LImageData.size()) - 1, imageData.image);
}
