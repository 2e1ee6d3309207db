#include "svgattributes.h"

#include <QByteArrayView>

#include <algorithm>

namespace SvgAttributes {
namespace {

// Where the text from `from` on first has `close` behind it: its end, or the text's end.
qsizetype after(const QByteArray& xml, qsizetype from, const char* close) {
    const qsizetype found = xml.indexOf(close, from);
    return found < 0 ? xml.size() : found + qsizetype(qstrlen(close));
}

// Scans the markup whose '<' is at `at` up to its closing '>' outside quoted values and outside
// a declaration's brackets (a DOCTYPE's internal subset, whose comments and processing
// instructions are skipped); adds what it carries to `count` and answers where it ends.
qsizetype scanMarkup(const QByteArray& xml, qsizetype at, Count& count) {
    const char* data = xml.constData();
    const bool declaration = at + 1 < xml.size() && data[at + 1] == '!';
    qint64 carried = 0;
    int depth = 0;
    char quote = 0;
    for (++at; at < xml.size(); ++at) {
        const char c = data[at];
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '"' || c == '\'') {
            quote = c;
            carried += declaration;
        } else if (c == '=') {
            carried += !declaration;
        } else if (declaration && c == '<') {
            const QByteArrayView rest(data + at, xml.size() - at);
            if (rest.startsWith("<!--"))
                at = after(xml, at, "-->") - 1;
            else if (rest.startsWith("<?"))
                at = after(xml, at, "?>") - 1;
        } else if (declaration && (c == '[' || c == ']')) {
            depth += c == '[' ? 1 : -1;
        } else if (c == '>' && depth <= 0) {
            break;
        }
    }
    count.mostOnOneElement = std::max(count.mostOnOneElement, carried);
    count.total += carried;
    return at + 1;
}

} // namespace

Count count(const QByteArray& xml) {
    Count result;
    for (qsizetype at = xml.indexOf('<'); at >= 0 && at < xml.size(); at = xml.indexOf('<', at)) {
        const QByteArrayView rest(xml.constData() + at, xml.size() - at);
        if (rest.startsWith("<!--"))
            at = after(xml, at, "-->");
        else if (rest.startsWith("<![CDATA["))
            at = after(xml, at, "]]>");
        else if (rest.startsWith("<?"))
            at = after(xml, at, "?>");
        else if (rest.startsWith("</"))
            at = after(xml, at, ">");
        else
            at = scanMarkup(xml, at, result);
    }
    return result;
}

} // namespace SvgAttributes
