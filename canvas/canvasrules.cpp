#include "canvasrules.h"

#include "model/trace.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace CanvasRules {

int clampedScale(int percent) {
    return std::max(minimumScale, percent);
}

QRect probeRect(QPoint widgetPoint, int k) {
    return QRect(k * widgetPoint.x(), k * widgetPoint.y(), 1, 1);
}

int hitTest(const QList<ImageData>& objects, const QRect& probe) {
    for (int i = int(objects.size()) - 1; i >= 0; --i) {
        qCDebug(lcCanvas).nospace() << "LocalGlobal::LImageData[i].index: " << objects.at(i).index;
        if (objects.at(i).rect.intersects(probe))
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

QString lastSuffix(const QString& completeSuffix) {
    return completeSuffix.mid(completeSuffix.lastIndexOf(QLatin1Char('.')) + 1);
}

bool isAcceptedSuffix(const QString& suffix) {
    // "tif" is the common spelling of "tiff" and is taken like it.
    static const QStringList accepted{QStringLiteral("gif"),  QStringLiteral("jpg"),
                                      QStringLiteral("jpeg"), QStringLiteral("png"),
                                      QStringLiteral("tiff"), QStringLiteral("tif"),
                                      QStringLiteral("webp")};
    return accepted.contains(suffix, Qt::CaseInsensitive);
}

int fitScale(QSize source, int canvasSize) {
    if (source.isEmpty())
        return 100;
    const float rw = float(canvasSize) / float(source.width());
    const float rh = float(canvasSize) / float(source.height());
    if (rw >= 1 && rh >= 1)
        return 100;
    const float r = std::min(rw, rh);
    qCDebug(lcCanvas).nospace().noquote() << "resizeIndex: " << QString::number(r, 'g', 6);
    return clampedScale(int(r * 100));
}

QPoint centredPosition(QPoint widgetPoint, int k, QSize shown) {
    return QPoint(widgetPoint.x() * k - shown.width() / 2,
                  widgetPoint.y() * k - shown.height() / 2);
}

} // namespace CanvasRules
