#include "badgetext.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QMutex>
#include <QTextDocument>

#include <cmath>
#include <optional>

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

QSize measured(const IconStyle& style) {
    QFont heightFont = QGuiApplication::font();
    // A pixel size of 0 means nothing to QFont: the form then keeps the font as it is.
    if (style.badgeTextSize > 0)
        heightFont.setPixelSize(style.badgeTextSize);
    struct Measure {
        QString text;
        QFont widthFont;
        QFont heightFont;
        QSize size;
    };
    // One for the whole program: the icon is drawn on the calling thread before a writer's pool
    // threads ask for its geometry, and they find the measure here. A pool thread that measured
    // text itself would keep a font cache Qt frees only with the thread.
    static QMutex mutex;
    static std::optional<Measure> last;
    const QMutexLocker lock(&mutex);
    if (!last || last->text != style.badgeText || last->widthFont != style.badgeTextFont ||
        last->heightFont != heightFont)
        last = Measure{style.badgeText, style.badgeTextFont, heightFont,
                       QSize(labelSize(style.badgeText, style.badgeTextFont).width(),
                             labelSize(style.badgeText, heightFont).height())};
    return last->size;
}

} // namespace BadgeText
