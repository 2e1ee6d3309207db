#include "kbwidget.h"

#include "model/localglobal.h"
#include "model/trace.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

KBWidget::KBWidget(QWidget* parent) : QWidget(parent) {
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

void KBWidget::renderContainer(QImage& image, QPainterPath& shapePath) const {
    image = renderer.renderContainer(LocalGlobal::iconStyle, shapePath);
}

QImage KBWidget::composeIcon(const QImage& container, QPainterPath shapePath,
                             bool forOutput) const {
    return renderer.composeIcon(container, shapePath, forOutput, LocalGlobal::iconStyle,
                                LocalGlobal::LImageData, selectedRect);
}

QImage& KBWidget::renderIcon(QImage& image) {
    image = renderer.renderIcon(LocalGlobal::iconStyle, LocalGlobal::LImageData);
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
