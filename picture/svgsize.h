#pragma once

#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QStringView>

#include <optional>

// How big an SVG picture is: its root element's width, height and viewBox read as a browser reads
// them (CSS pixels, 96 to the inch), then bounded so no declaration makes a huge picture.
namespace SvgSize {

// Longest side of a picture's natural size.
inline constexpr int maxSide = 4096;

// A length ("12", "1.5e2px", "20mm") in pixels; nothing for percentages, font-relative units,
// non-positive or unreadable values.
std::optional<double> lengthInPixels(QStringView text);

// "minX minY width height", separated by spaces or commas; nothing unless the size is positive.
std::optional<QRectF> viewBox(QStringView text);

// The size the root declares: width and height; one of them with the other from the viewBox's
// aspect (square without one); else the viewBox's size; else 256 x 256.
QSizeF declaredSize(std::optional<double> width, std::optional<double> height,
                    std::optional<QRectF> box);

// `size` rounded to whole pixels, its longest side at most maxSide (the aspect kept), at least
// 1 x 1; 256 x 256 for a size that is not finite.
QSize boundedSize(QSizeF size);

} // namespace SvgSize
