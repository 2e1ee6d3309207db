#include "canvasrules.h"

#include "trace/trace.h"

#include <QDir>
#include <QPainter>
#include <QUrl>

#include <algorithm>
#include <climits>
#include <cmath>

namespace CanvasRules {

QRect probeRect(QPoint widgetPoint, int k) {
    return QRect(k * widgetPoint.x(), k * widgetPoint.y(), 1, 1);
}

int hitTest(const QList<Layer>& objects, const QRect& probe, int atSize) {
    for (int i = int(objects.size()) - 1; i >= 0; --i) {
        qCDebug(lcCanvas).nospace() << "hit test: layer " << objects.at(i).index;
        if ((atSize <= 0 || shownAtSize(objects.at(i), atSize)) &&
            objects.at(i).rect().intersects(probe))
            return i;
    }
    return -1;
}

QPoint draggedPosition(QPoint pressPosition, QPoint pressPoint, QPoint widgetPoint, int k) {
    return pressPosition + (widgetPoint - pressPoint) * k;
}

QPoint wheelDegrees(QPoint angleDelta) {
    return QPoint(int(std::lround(angleDelta.x() / 8.0)), int(std::lround(angleDelta.y() / 8.0)));
}

int wheelSteps(int degrees) {
    return int(std::lround(degrees / 15.0));
}

int stepped(int value, int steps, int stride, int low, int high) {
    return int(std::clamp<qint64>(qint64(value) + qint64(steps) * stride, low, high));
}

QPoint arrowNudge(int key, Qt::KeyboardModifiers modifiers) {
    const int step = modifiers.testFlag(Qt::ShiftModifier) ? 10 : 1;
    switch (key) {
    case Qt::Key_Left:
        return QPoint(-step, 0);
    case Qt::Key_Right:
        return QPoint(step, 0);
    case Qt::Key_Up:
        return QPoint(0, -step);
    case Qt::Key_Down:
        return QPoint(0, step);
    default:
        return QPoint();
    }
}

QStringList pastedPaths(const QString& text) {
    QStringList paths;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString name = line.trimmed();
        const QUrl address(name);
        const QString path = address.isLocalFile() ? address.toLocalFile() : name;
        if (name.isEmpty())
            continue;
        if (!QDir::isAbsolutePath(path))
            return {};
        paths << path;
    }
    return paths;
}

QImage canvasGround() {
    QImage ground(300, 300, QImage::Format_RGB32);
    ground.fill(QColor(0xfc, 0xfc, 0xfc));
    QPainter painter(&ground);
    constexpr int square = 10;
    for (int y = 0; y < 300; y += square) {
        for (int x = (y / square % 2) * square; x < 300; x += 2 * square)
            painter.fillRect(x, y, square, square, QColor(0xe4, 0xe4, 0xe4));
    }
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1, Qt::DashLine));
    painter.drawRect(22, 22, 255, 255);
    return ground;
}
} // namespace CanvasRules
