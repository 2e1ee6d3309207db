#pragma once

#include "document/iconstyle.h"

#include <QFont>
#include <QSize>
#include <QString>

// The badge text's measurements the renderer needs, taken without a widget: the same numbers a
// label showing the text gives. Derived from the style alone, so no document carries them.
namespace BadgeText {

// The size a label showing `text` in `font` takes after adjustSize(): rich text laid out as a
// document, plain text with tabs expanded.
QSize labelSize(const QString& text, const QFont& font);

// The width of the text in the badge font and the height of the text in the application font at
// the badge's pixel size. The last answer is kept, as every paint asks several times, and shared
// by every thread.
QSize measured(const IconStyle& style);

} // namespace BadgeText
