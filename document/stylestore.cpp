#include "stylestore.h"

#include <QSettings>
#include <QStringList>

#include <variant>

namespace StyleStore {
namespace {

// What a stored number may be. A choice-list index outside its list becomes the first choice
// (a list must never be left without a current item); a length is held inside the range of its
// control, so a huge or negative width can never reach the painter.
struct IntRule {
    enum Kind { Choice, Length };
    Kind kind;
    int min;
    int max;

    int apply(int value) const {
        if (value >= min && value <= max)
            return value;
        return kind == Choice ? min : qBound(min, value, max);
    }
};

using Field = std::variant<int IconStyle::*, bool IconStyle::*, QColor IconStyle::*,
                           QFont IconStyle::*, QString IconStyle::*>;

struct Entry {
    const char* group;
    const char* key;
    Field field;
    IntRule rule; // numbers; for text, its longest length
};

// The largest text the text-size control offers; a stored font beyond it is not one anybody chose.
constexpr int largestTextSize = 360;
// Longer than any description QFont::toString() writes for a real font.
constexpr int maxFontText = 512;

constexpr IntRule none{IntRule::Length, 0, 0};
constexpr IntRule choice(int count, int first = 0) {
    return {IntRule::Choice, first, first + count - 1};
}
constexpr IntRule length(int max) {
    return {IntRule::Length, 0, max};
}

// The start value of each field is the one a default IconStyle carries, so it lives in one place.
const Entry entries[] = {
    {"Container", "shape", &IconStyle::shape, choice(3)},
    {"Container", "radius", &IconStyle::radius, length(360)},
    {"Container", "useBackground", &IconStyle::useBackground, none},
    {"Container", "backStyle", &IconStyle::backStyle, choice(2)},
    {"Container", "backOrientation", &IconStyle::backOrientation, choice(8)},
    {"Container", "backColor1", &IconStyle::backColor1, none},
    {"Container", "backColor2", &IconStyle::backColor2, none},
    {"Container", "useBack3dEffect", &IconStyle::useBack3dEffect, none},
    {"Container", "useBorder", &IconStyle::useBorder, none},
    {"Container", "borderColor", &IconStyle::borderColor, none},
    {"Container", "borderWidth", &IconStyle::borderWidth, length(360)},
    {"Container", "useGlossy", &IconStyle::useGlossy, none},
    {"Container", "clipImage", &IconStyle::clipImage, none},
    {"Badge", "useBadge", &IconStyle::useBadge, none},
    {"Badge", "badgeText", &IconStyle::badgeText, length(badgeTextMaxLength)},
    {"Badge", "badgeTextColor", &IconStyle::badgeTextColor, none},
    {"Badge", "badgeTextSize", &IconStyle::badgeTextSize, length(largestTextSize)},
    {"Badge", "badgeTextFont", &IconStyle::badgeTextFont, none},
    {"Badge", "badgeBackColor", &IconStyle::badgeBackColor, none},
    {"Badge", "badgeBorderColor", &IconStyle::badgeBorderColor, none},
    {"Badge", "badgeLineWidth", &IconStyle::badgeLineWidth, length(20)},
    {"Badge", "badgeOrientation", &IconStyle::badgeOrientation, choice(2)},
    {"Badge", "badgeOrientationHorizontal", &IconStyle::badgeOrientationHorizontal, choice(2)},
    {"Badge", "badgeOrientationDiagonal", &IconStyle::badgeOrientationDiagonal, choice(4)},
    {"Canvas", "canvasSize", &IconStyle::canvasFactor, choice(3, 1)},
};

QString path(const Entry& entry) {
    return QString::fromLatin1(entry.group) + QLatin1Char('/') + QString::fromLatin1(entry.key);
}

// Each reader leaves the field as it is when the stored value is missing or unusable.
struct Reader {
    const QVariant& stored;
    IconStyle& style;
    IntRule rule;

    void operator()(int IconStyle::*field) const {
        bool ok = false;
        const int value = stored.toInt(&ok);
        if (ok)
            style.*field = rule.apply(value);
    }
    void operator()(bool IconStyle::*field) const { style.*field = stored.toBool(); }
    void operator()(QColor IconStyle::*field) const {
        const QColor color(stored.toString());
        if (color.isValid())
            style.*field = color;
    }
    void operator()(QFont IconStyle::*field) const {
        QFont font;
        const QString text = stored.toString();
        // A family name of thousands of characters would keep font matching busy for minutes.
        if (!text.isEmpty() && text.size() <= maxFontText && font.fromString(text) &&
            font.pixelSize() <= largestTextSize && font.pointSizeF() <= largestTextSize)
            style.*field = font;
    }
    void operator()(QString IconStyle::*field) const {
        style.*field = stored.toString().left(rule.max);
    }
};

struct Writer {
    const IconStyle& style;

    QVariant operator()(int IconStyle::*field) const { return style.*field; }
    QVariant operator()(bool IconStyle::*field) const { return style.*field; }
    QVariant operator()(QColor IconStyle::*field) const { return (style.*field).name(); }
    QVariant operator()(QFont IconStyle::*field) const { return (style.*field).toString(); }
    QVariant operator()(QString IconStyle::*field) const { return style.*field; }
};

} // namespace

QVariantMap toMap(const IconStyle& style) {
    QVariantMap values;
    for (const Entry& entry : entries)
        values.insert(path(entry), std::visit(Writer{style}, entry.field));
    return values;
}

void fromMap(IconStyle& style, const QVariantMap& values) {
    const IconStyle start;
    for (const Entry& entry : entries) {
        std::visit([&](auto field) { style.*field = start.*field; }, entry.field);
        const QVariant stored = values.value(path(entry));
        if (stored.isValid())
            std::visit(Reader{stored, style, entry.rule}, entry.field);
    }
}

void loadStyle(IconStyle& style) {
    QSettings settings(QStringLiteral("Kestrelby"), QStringLiteral("Brasswick"));
    QVariantMap values;
    for (const QString& key : storedKeys())
        values.insert(key, settings.value(key));
    fromMap(style, values);
}

void saveStyle(const IconStyle& style) {
    // Only the style's own keys are written: keys of another version, newer or older, stay for it.
    QSettings settings(QStringLiteral("Kestrelby"), QStringLiteral("Brasswick"));
    // In table order, as before: the map would sort them.
    const QVariantMap values = toMap(style);
    for (const QString& key : storedKeys())
        settings.setValue(key, values.value(key));
}

QStringList storedKeys() {
    QStringList keys;
    for (const Entry& entry : entries)
        keys << path(entry);
    return keys;
}

} // namespace StyleStore
