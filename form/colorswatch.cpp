#include "colorswatch.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

ColorSwatch::ColorSwatch(QWidget* parent) : QWidget(parent) {}

void ColorSwatch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // A dialog per click, so it always opens on the swatch's current colour.
    QColorDialog dialog;
    dialog.setCurrentColor(color);
    connect(&dialog, &QColorDialog::colorSelected, &dialog, [this](const QColor& chosen) {
        // Shown once the document has it: the form shows the document's colours.
        Q_EMIT colorUpdated(chosen);
    });
    dialog.exec();
}

void ColorSwatch::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setPen(Qt::red);
    painter.fillRect(event->rect(), color);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QWidget::paintEvent(event);
    painter.end();
}
