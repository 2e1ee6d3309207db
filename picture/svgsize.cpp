#include "svgsize.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace SvgSize {
namespace {

const QSizeF fallbackSize(256, 256);

// Pixels per unit, as CSS defines them.
std::optional<double> unitFactor(QStringView unit) {
    struct Unit {
        const char* name;
        double pixels;
    };
    static const Unit units[] = {{"", 1},    {"px", 1},         {"in", 96},       {"pt", 96.0 / 72},
                                 {"pc", 16}, {"cm", 96 / 2.54}, {"mm", 96 / 25.4}};
    for (const Unit& known : units) {
        if (unit.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
            return known.pixels;
    }
    return std::nullopt;
}

bool isUsable(double value) {
    return std::isfinite(value) && value > 0;
}

} // namespace

std::optional<double> lengthInPixels(QStringView text) {
    static const QRegularExpression length(QStringLiteral(
        "^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)\\s*([a-zA-Z]*)\\s*$"));
    const QRegularExpressionMatch match = length.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> factor = unitFactor(match.capturedView(2));
    const double pixels = match.capturedView(1).toDouble() * factor.value_or(0);
    return isUsable(pixels) ? std::optional<double>(pixels) : std::nullopt;
}

std::optional<QRectF> viewBox(QStringView text) {
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    const QList<QStringView> parts = text.trimmed().split(separators, Qt::SkipEmptyParts);
    if (parts.size() != 4)
        return std::nullopt;
    double numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].toDouble(&ok);
        if (!ok || !std::isfinite(numbers[i]))
            return std::nullopt;
    }
    if (!isUsable(numbers[2]) || !isUsable(numbers[3]))
        return std::nullopt;
    return QRectF(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QSizeF declaredSize(std::optional<double> width, std::optional<double> height,
                    std::optional<QRectF> box) {
    const QSizeF shape = box ? box->size() : QSizeF(1, 1);
    if (width && height)
        return QSizeF(*width, *height);
    if (width)
        return QSizeF(*width, *width * shape.height() / shape.width());
    if (height)
        return QSizeF(*height * shape.width() / shape.height(), *height);
    return box ? shape : fallbackSize;
}

QSize boundedSize(QSizeF size) {
    if (!isUsable(size.width()) || !isUsable(size.height()))
        size = fallbackSize;
    const double factor = std::min(1.0, maxSide / std::max(size.width(), size.height()));
    const auto side = [factor](double length) {
        return int(std::clamp(std::round(length * factor), 1.0, double(maxSide)));
    };
    return QSize(side(size.width()), side(size.height()));
}

} // namespace SvgSize
