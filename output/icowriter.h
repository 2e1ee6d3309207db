#pragma once

#include "output/outputfailure.h"

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

#include <optional>

// Edge lengths of the icon file's default entries, ascending, for a rendering `renderingSize`
// pixels wide: 16, 32, 48 and 256 (the rendering's own size when it is smaller).
QList<int> icoEntrySizes(int renderingSize);

// The entries of an icon file of `sizes` for the layers on `style` at canvas factor k, `rendering`
// the icon of them all: SizedIcon::entries (render/sizedicon.h), for a caller without a document.
QList<QImage> iconEntryImages(const QImage& rendering, const QList<int>& sizes, bool sharp,
                              const IconStyle& style, const QList<Layer>& layers, int k);

// The .ico file holding `entries` (square images), largest first whatever the order given: GTK's
// reader misreads a PNG entry after a bitmap, and Windows breaks a tie between two entries as
// near to the size it needs by taking the first, which should be the larger. Entries up to 64 px
// as 32-bit BMP with their AND mask, which every reader takes; larger ones as PNG (encodePng: the
// fewest bytes found). An entry without one visible pixel is a 1-bit BMP whose mask hides
// everything at any size: readers that fall back to the mask (an alpha channel of zeros counts as
// none) would draw a PNG or a colour bitmap with an empty mask black. Throws std::invalid_argument
// for no entries or an entry that is empty or not square, std::runtime_error for an entry that
// cannot be encoded.
QByteArray encodeIcoEntries(const QList<QImage>& entries);

// Encodes `entries` and replaces `fileName` with them only when the whole file could be written.
// Answers what went wrong, or nothing on success.
std::optional<OutputFailure> writeIconEntries(const QString& fileName,
                                              const QList<QImage>& entries);

// The icon file of the default entries, each scaled from `rendering`.
QByteArray encodeIco(const QImage& rendering, int canvasFactor);
std::optional<OutputFailure> writeIcon(const QString& fileName, const QImage& rendering,
                                       int canvasFactor);
