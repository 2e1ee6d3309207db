#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// A file's bytes, or why they could not be made.
struct EncodedFile {
    QByteArray bytes;
    QString failure;
};

// How much time an encoding may spend on fewer bytes.
enum class PngEffort {
    // For the .icns, the PNG sets and the icon themes: libdeflate's near-optimal level, 5 to 7 %
    // fewer bytes than zlib's best.
    Smallest,
    // A third of the time of the smallest, for 2 to 4 % more bytes on photographs.
    Balanced,
    // For the .ico, written in at most half the time ImageMagick takes.
    Quick,
};

// Which colour types an encoding may choose from.
enum class PngColours {
    Any,
    // RGB or RGBA: libicns (icns2png) reads palette and grey PNG elements of an .icns wrongly,
    // and the stores refuse an icon without alpha in any other kind.
    Truecolour,
    // Any, but a palette only for opaque pixels: Pillow drops the tRNS chunk of an .ico file's PNG
    // entries, so it would show a translucent palette entry's transparent pixels opaque.
    OpaquePalette,
};

// Every PNG we write: the pixels of `image` exactly (fully transparent pixels all as transparent
// black, as every reader shows them), in the fewest bytes found. Each colour type of `colours`
// that holds the pixels exactly (a palette of up to 256 colours with 1, 2, 4 or 8 bits an index
// and translucent entries through tRNS; grey; grey with alpha; RGB; RGBA) is tried with every
// row under the filter whose output has the smallest sum of absolute values (libpng's adaptive
// choice) and with no filter at all (which wins for flat art); a quick libdeflate level ranks
// them on a quarter of the rows, and the best is compressed at the level of `effort` (and by zlib
// where zlib does better: rows of long runs, and a photograph's at the quick effort). No
// ancillary chunks: no reader of icons looks at them. Fails only for a null image or when memory
// runs out.
EncodedFile encodePng(const QImage& image, PngEffort effort = PngEffort::Smallest,
                      PngColours colours = PngColours::Any);
