#include "stylestore.h"

#include "settings/settingsstore.h"

#include <QStringList>

#include <cstddef>
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

// A style field of the settings store, in the order of its keys there.
struct Entry {
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

// The field of each style key of the settings store, in the order of its table. The start value of
// each field is the one a default IconStyle carries, so it lives in one place.
const Entry entries[] = {
    {&IconStyle::shape, choice(3)},
    {&IconStyle::radius, length(360)},
    {&IconStyle::useBackground, none},
    {&IconStyle::backStyle, choice(2)},
    {&IconStyle::backOrientation, choice(8)},
    {&IconStyle::backColor1, none},
    {&IconStyle::backColor2, none},
    {&IconStyle::useBack3dEffect, none},
    {&IconStyle::useBorder, none},
    {&IconStyle::borderColor, none},
    {&IconStyle::borderWidth, length(360)},
    {&IconStyle::useGlossy, none},
    {&IconStyle::clipImage, none},
    {&IconStyle::useBadge, none},
    {&IconStyle::badgeText, length(badgeTextMaxLength)},
    {&IconStyle::badgeTextColor, none},
    {&IconStyle::badgeTextSize, length(largestTextSize)},
    {&IconStyle::badgeTextFont, none},
    {&IconStyle::badgeBackColor, none},
    {&IconStyle::badgeBorderColor, none},
    {&IconStyle::badgeLineWidth, length(20)},
    {&IconStyle::badgeOrientation, choice(2)},
    {&IconStyle::badgeOrientationHorizontal, choice(2)},
    {&IconStyle::badgeOrientationDiagonal, choice(4)},
    {&IconStyle::canvasFactor, choice(3, 1)},
};

constexpr std::size_t storedStyleKeys() {
    std::size_t count = 0;
    for (const StoredSetting& setting : StoredSettings::table)
        count += setting.group == SettingsGroup::Style ? 1 : 0;
    return count;
}
static_assert(sizeof entries / sizeof entries[0] == storedStyleKeys(),
              "one entry for each style key of the settings store");

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
    const QStringList keys = storedKeys();
    QVariantMap values;
    for (qsizetype i = 0; i < keys.size(); ++i)
        values.insert(keys.at(i), std::visit(Writer{style}, entries[i].field));
    return values;
}

void fromMap(IconStyle& style, const QVariantMap& values) {
    const QStringList keys = storedKeys();
    const IconStyle start;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const Entry& entry = entries[i];
        std::visit([&](auto field) { style.*field = start.*field; }, entry.field);
        const QVariant stored = values.value(keys.at(i));
        if (stored.isValid())
            std::visit(Reader{stored, style, entry.rule}, entry.field);
    }
}

void loadStyle(IconStyle& style) {
    SettingsStore settings(SettingsGroup::Style);
    QVariantMap values;
    for (const QString& key : storedKeys())
        values.insert(key, settings.value(key));
    fromMap(style, values);
}

void saveStyle(const IconStyle& style) {
    // Only the style's own keys are written: keys of another version, newer or older, stay for it.
    SettingsStore settings(SettingsGroup::Style);
    // In table order, as before: the map would sort them.
    const QVariantMap values = toMap(style);
    for (const QString& key : storedKeys())
        settings.setValue(key, values.value(key));
}

QStringList storedKeys() {
    return StoredSettings::keys(SettingsGroup::Style);
}

} // namespace StyleStore
