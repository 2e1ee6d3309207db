#pragma once

#include "document/iconstyle.h"

#include <QFont>
#include <QSize>
#include <QString>

// The badge text's measurements the renderer needs and a project file does not keep, taken
// without a widget: the same numbers the form's hidden labels give.
namespace BadgeText {

// The size a label showing `text` in `font` takes after adjustSize(): rich text laid out as a
// document, plain text with tabs expanded.
QSize labelSize(const QString& text, const QFont& font);

// Fills badgeTextWidth (the text in the badge font) and badgeTextHeight (the text in the
// application font at the badge's pixel size).
void measure(IconStyle& style);

} // namespace BadgeText
