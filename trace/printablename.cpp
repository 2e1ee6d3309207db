#include "printablename.h"

namespace {

bool isControl(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f);
}

// The marks and embeddings that change the direction of what follows, and the separators that
// break a line without being a line feed.
bool reordersText(char16_t c) {
    return c == 0x061c || c == 0x200e || c == 0x200f || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069) || c == 0x2028 || c == 0x2029;
}

} // namespace

QString printableName(const QString& name) {
    QString shown;
    shown.reserve(name.size());
    for (const QChar character : name) {
        const char16_t c = character.unicode();
        if (isControl(c))
            shown += QStringLiteral("\\x%1").arg(unsigned(c), 2, 16, QLatin1Char('0'));
        else if (reordersText(c))
            shown += QStringLiteral("\\u%1").arg(unsigned(c), 4, 16, QLatin1Char('0'));
        else
            shown += character;
    }
    return shown;
}
