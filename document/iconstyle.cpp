#include "iconstyle.h"

#include <tuple>

namespace {

auto fields(const IconStyle& s) {
    return std::tie(s.shape, s.radius, s.useBackground, s.backStyle, s.backOrientation,
                    s.backColor1, s.backColor2, s.useBack3dEffect, s.useBorder, s.borderColor,
                    s.borderWidth, s.useGlossy, s.clipImage, s.useBadge, s.badgeText,
                    s.badgeTextColor, s.badgeTextSize, s.badgeTextFont, s.badgeBackColor,
                    s.badgeBorderColor, s.badgeLineWidth, s.badgeOrientation,
                    s.badgeOrientationHorizontal, s.badgeOrientationDiagonal, s.canvasFactor);
}

} // namespace

bool IconStyle::operator==(const IconStyle& other) const {
    return fields(*this) == fields(other);
}
