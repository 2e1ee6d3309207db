#include "badgetext.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QTextDocument>

#include <cmath>

namespace BadgeText {

QSize labelSize(const QString& text, const QFont& font) {
    if (Qt::mightBeRichText(text)) {
        QTextDocument document;
        document.setDocumentMargin(0);
        document.setDefaultFont(font);
        document.setHtml(text);
        document.setTextWidth(document.idealWidth());
        return QSize(int(std::ceil(document.idealWidth())),
                     int(std::ceil(document.size().height())));
    }
    // A label lays plain text out from its top-left in a 2000 x 2000 box.
    return QFontMetrics(font)
        .boundingRect(QRect(0, 0, 2000, 2000), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs,
                      text)
        .size();
}

void measure(IconStyle& style) {
    QFont heightFont = QGuiApplication::font();
    // A pixel size of 0 means nothing to QFont: the form then keeps the font as it is.
    if (style.badgeTextSize > 0)
        heightFont.setPixelSize(style.badgeTextSize);
    style.badgeTextWidth = labelSize(style.badgeText, style.badgeTextFont).width();
    style.badgeTextHeight = labelSize(style.badgeText, heightFont).height();
}

} // namespace BadgeText
