#include "kbwidget.h"

#include "model/localglobal.h"

#include "model/trace.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QWheelEvent>

KBWidget::KBWidget(QWidget* parent) : QWidget(parent) {
    setFocus(Qt::OtherFocusReason);
}

void KBWidget::setSizeIndex(int k) {
    qCDebug(lcCanvas).nospace() << "sizeIndex: " << k;
    sizeIndex = k;
    imageSize = 256 * k;
    canvasSize = 300 * k;
    qCDebug(lcCanvas).nospace() << "imageSize: " << imageSize;
    qCDebug(lcCanvas).nospace() << "canvasSize: " << canvasSize;
    repaint();
    isCanvasSizeSet = true;
}

void KBWidget::updateData() {
    qCDebug(lcCanvas) << "updateData";
    repaint();
}

void KBWidget::selectByName(const QString&) {}
void KBWidget::setSelectedPosition(int, int) {}
void KBWidget::setSelectedScale(int) {}
void KBWidget::setSelectedRotation(int) {}

QImage& KBWidget::renderIcon(QImage& image) {
    image = QImage(imageSize, imageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(0);
    return image;
}

void KBWidget::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
}
void KBWidget::mouseReleaseEvent(QMouseEvent*) {
    isDragging = false;
}
void KBWidget::mouseMoveEvent(QMouseEvent*) {}
void KBWidget::wheelEvent(QWheelEvent*) {}
void KBWidget::keyPressEvent(QKeyEvent*) {
    qCDebug(lcCanvas) << "keyPressEvent";
}
void KBWidget::keyReleaseEvent(QKeyEvent*) {
    qCDebug(lcCanvas) << "keyReleaseEvent";
}
void KBWidget::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
}
void KBWidget::dragEnterEvent(QDragEnterEvent* event) {
    event->ignore();
}
void KBWidget::dragMoveEvent(QDragMoveEvent* event) {
    event->accept();
}
void KBWidget::dropEvent(QDropEvent*) {}
void KBWidget::updateSelectedImage() {}
bool KBWidget::isImageFile(const QString&) const {
    return false;
}
void KBWidget::addImage(QPoint, const QString&) {}
