#pragma once

#include <QColor>
#include <QWidget>

// A colour swatch: shows `color` framed in red; a left click lets the user pick another colour,
// which it announces and shows once its owner sets it.
class ColorSwatch : public QWidget {
    Q_OBJECT

public:
    explicit ColorSwatch(QWidget* parent = nullptr);
    ~ColorSwatch() override = default;

    // Written directly by the form when it loads the style; such writes emit nothing.
    QColor color = Qt::white;

Q_SIGNALS:
    void colorUpdated(QColor color);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
