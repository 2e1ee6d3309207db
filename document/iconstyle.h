#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// The numbers are stored values and positions in the form's choice lists.
enum class ContainerShape : int { Rectangle = 0, RoundedRectangle = 1, Circle = 2 };
enum class BackStyle : int { Solid = 0, Gradient = 1 };
enum class GradientOrientation : int {
    TopDown = 0,
    DownTop = 1,
    LeftRight = 2,
    RightLeft = 3,
    TopLeftDownRight = 4,
    TopRightDownLeft = 5,
    DownLeftTopRight = 6,
    DownRightTopLeft = 7
};
enum class BadgeOrientation : int { Diagonal = 0, Horizontal = 1 };

// Longest badge text kept. The badge is a band across one corner or edge of the icon, where a few
// words already fill it; a longer text only costs time in every measurement and repaint.
constexpr int badgeTextMaxLength = 256;

// Everything that decides how the icon around the pictures looks. Lengths are canvas pixels.
// A plain record: values are not checked here; the renderer copes with any of them.
struct IconStyle {
    int shape = 0;
    int radius = 50;
    bool useBackground = false;
    int backStyle = 1;
    int backOrientation = 0;
    QColor backColor1 = QColor(0xFF, 0xFF, 0xFF);
    QColor backColor2 = QColor(0xFF, 0xF2, 0x00);
    bool useBack3dEffect = false;
    bool useBorder = false;
    QColor borderColor = QColor(0x32, 0x82, 0xF6);
    int borderWidth = 5;
    bool useGlossy = false;
    bool clipImage = false;
    bool useBadge = false;
    QString badgeText = QStringLiteral("50% OFF");
    QColor badgeTextColor = QColor(0xFF, 0xFF, 0xFF);
    int badgeTextSize = 18;
    QFont badgeTextFont;
    QColor badgeBackColor = QColor(0xEB, 0x33, 0x24);
    QColor badgeBorderColor = QColor(0xFF, 0xFF, 0xFF);
    int badgeLineWidth = 3;
    int badgeOrientation = 0;
    int badgeOrientationHorizontal = 1;
    int badgeOrientationDiagonal = 3;
    int canvasFactor = 1;

    bool operator==(const IconStyle& other) const;
    bool operator!=(const IconStyle& other) const { return !(*this == other); }
};
