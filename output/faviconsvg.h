#pragma once

#include "document/document.h"

#include <QByteArray>
#include <QString>

// The icon as an SVG file, for browsers that take a vector favicon: the container's outline, fill
// and border, and every picture from its own cleaned SVG, placed, scaled and turned as on the
// canvas. Only a document whose every part SVG can say exactly can be written so.
namespace FaviconSvg {

// Why `document` cannot be written as SVG, in a few words; empty when it can.
QString obstacle(const Document& document);

// The SVG text of `document`; empty when obstacle() says why not.
QByteArray encode(const Document& document);

} // namespace FaviconSvg
