#pragma once

#include <QByteArray>

// How many attributes the elements of XML text carry, counted in one linear pass over the bytes
// before any XML reader sees them: a reader that checks each attribute against the element's
// others spends time growing with the square of their number, so a 1.4 MB element of 100,000
// attributes would take half a minute to read.
namespace SvgAttributes {

struct Count {
    // Most attributes on one element (a declaration counts its quoted literals).
    qint64 mostOnOneElement = 0;
    qint64 total = 0;
};

// Counts every '=' outside quoted values in each start tag, skipping comments, CDATA sections,
// processing instructions and end tags. Never fewer than a reader finds in well-formed text.
Count count(const QByteArray& xml);

} // namespace SvgAttributes
