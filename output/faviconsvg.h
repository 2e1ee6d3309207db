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

// How the pictures' own SVG goes into the file: each as an embedded SVG image, which browsers
// draw as vectors and which keeps the pictures' ids apart; or its elements inline in a nested
// <svg>, which every renderer draws as vectors (some draw an embedded image as pixels at its own
// size, then scale them), for a document of one picture.
enum class Pictures { Embedded, Inline };

// The SVG text of `document`, its size the icon square's or `side` px; empty when obstacle()
// says why not.
QByteArray encode(const Document& document, int side = 0, Pictures pictures = Pictures::Embedded);

} // namespace FaviconSvg
