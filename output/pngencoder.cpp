#include "pngencoder.h"

#include "output/pngfilters.h"

#include <libdeflate.h>
#include <zlib.h>

#include <QList>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace {

enum ColourType : uchar { Grey = 0, Rgb = 2, Indexed = 3, GreyAlpha = 4, Rgba = 6 };

constexpr int maxPaletteSize = 256;
// libdeflate's levels. Candidates are ranked at level 4: level 1 misjudges filtered rows against
// unfiltered ones (on a gradient it chose no filter for a file a fifth larger). Level 10, the
// first of the near-optimal ones, is 5 to 7 % smaller than zlib's best, which level 9 matches, and
// takes three times as long as level 7 on a large picture; level 7 writes 1 to 4 % more bytes than
// zlib's best on photographs, fewer on flat art, where the colour type and the filters do the work.
constexpr int rankingLevel = 4;
// The ranking misjudges filtered rows against unfiltered ones most on palette and grey pictures
// (a palette circle of 192 x 192: a third more bytes filtered). Up to this many bytes of such
// rows (a palette picture of 443 x 443), both are compressed whole and the smaller kept.
constexpr qsizetype largestCompressedTwice = 192 * 1024;
// Rows that libdeflate compresses to less than a 32nd are nearly all long runs.
constexpr int nearlyAllRuns = 32;

// An RGBA8888 pixel as one number, red in the top byte whatever the machine.
quint32 pixelAt(const uchar* pixel) {
    return quint32(pixel[0]) << 24 | quint32(pixel[1]) << 16 | quint32(pixel[2]) << 8 | pixel[3];
}

uchar channel(quint32 colour, int index) {
    return uchar(colour >> (24 - 8 * index));
}

// The distinct colours of a picture while there are at most 256 of them, each with its palette
// index: an open-addressing table, as a hash set costs more than the rest of the survey.
class ColourTable {
public:
    // False when `colour` would be the 257th.
    bool add(quint32 colour) {
        int slot = find(colour);
        if (used[slot])
            return true;
        if (colours.size() == maxPaletteSize)
            return false;
        used[slot] = true;
        keys[slot] = colour;
        colours.append(colour);
        return true;
    }
    uchar indexOf(quint32 colour) const { return indices[find(colour)]; }
    // Gives each colour its palette index: its place in `order`.
    void number(const QList<quint32>& order) {
        colours = order;
        for (int i = 0; i < order.size(); ++i)
            indices[find(order[i])] = uchar(i);
    }
    QList<quint32> colours;

private:
    static constexpr int tableSize = 1024;
    int find(quint32 colour) const {
        int slot = int((colour * 0x9e3779b1u) >> 22);
        while (used[slot] && keys[slot] != colour)
            slot = (slot + 1) % tableSize;
        return slot;
    }
    std::array<quint32, tableSize> keys{};
    std::array<bool, tableSize> used{};
    std::array<uchar, tableSize> indices{};
};

// What the pixels hold, found in one pass.
struct Survey {
    bool opaque = true;
    bool grey = true;
    bool fewColours = true;
    ColourTable table;
};

// Un-premultiplied RGBA rows, every fully transparent pixel made transparent black.
QImage rgbaPixels(const QImage& image) {
    QImage pixels = image.convertToFormat(QImage::Format_RGBA8888);
    const int width = pixels.width(), height = pixels.height();
    for (int y = 0; y < height; ++y) {
        uchar* row = pixels.scanLine(y);
        for (int x = 0; x < width; ++x) {
            if (row[4 * x + 3] == 0)
                std::memset(row + 4 * x, 0, 4);
        }
    }
    return pixels;
}

Survey survey(const QImage& pixels) {
    Survey found;
    quint32 last = 0;
    bool first = true;
    const int width = pixels.width(), height = pixels.height();
    for (int y = 0; y < height; ++y) {
        const uchar* row = pixels.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const quint32 colour = pixelAt(row + 4 * x);
            // Runs of one colour are the rule in icons: each run is looked at once.
            if (colour == last && !first)
                continue;
            first = false;
            last = colour;
            found.opaque = found.opaque && (colour & 0xff) == 0xff;
            found.grey = found.grey && channel(colour, 0) == channel(colour, 1) &&
                         channel(colour, 1) == channel(colour, 2);
            found.fewColours = found.fewColours && found.table.add(colour);
        }
    }
    return found;
}

// How the pixels stand in the file.
struct Layout {
    ColourType type = Rgba;
    int bitDepth = 8;
    QByteArray palette;
    QByteArray transparency;

    int channels() const { return type == Rgba ? 4 : type == Rgb ? 3 : type == GreyAlpha ? 2 : 1; }
    int rowBytes(int width) const { return (width * channels() * bitDepth + 7) / 8; }
    // The distance between a byte and the same byte of the pixel to its left, at least one.
    int filterDistance() const { return std::max(1, channels() * bitDepth / 8); }
};

int indexBits(qsizetype colours) {
    return colours <= 2 ? 1 : colours <= 4 ? 2 : colours <= 16 ? 4 : 8;
}

// Translucent entries first, so tRNS may stop after the last of them; within each part from dark
// to light, so neighbouring indices stand for similar colours and filters find small differences.
QList<quint32> paletteOrder(QList<quint32> colours) {
    const auto luma = [](quint32 colour) {
        return 299 * channel(colour, 0) + 587 * channel(colour, 1) + 114 * channel(colour, 2);
    };
    std::stable_sort(colours.begin(), colours.end(), [&](quint32 a, quint32 b) {
        const bool opaqueA = channel(a, 3) == 0xff, opaqueB = channel(b, 3) == 0xff;
        if (opaqueA != opaqueB)
            return opaqueB;
        return luma(a) < luma(b) || (luma(a) == luma(b) && a < b);
    });
    return colours;
}

Layout paletteLayout(ColourTable& table) {
    Layout layout{Indexed, indexBits(table.colours.size()), {}, {}};
    table.number(paletteOrder(table.colours));
    for (quint32 colour : table.colours) {
        for (int c = 0; c < 3; ++c)
            layout.palette.append(char(channel(colour, c)));
        if (channel(colour, 3) != 0xff)
            layout.transparency.append(char(channel(colour, 3)));
    }
    return layout;
}

// Every layout of `colours` that holds the surveyed pixels exactly, the most compact first.
QList<Layout> exactLayouts(Survey& found, PngColours colours) {
    QList<Layout> layouts;
    const bool palette =
        colours == PngColours::Any || (colours == PngColours::OpaquePalette && found.opaque);
    if (palette && found.fewColours)
        layouts.append(paletteLayout(found.table));
    if (colours != PngColours::Truecolour && found.grey)
        layouts.append(Layout{found.opaque ? Grey : GreyAlpha});
    layouts.append(Layout{found.opaque ? Rgb : Rgba});
    return layouts;
}

// The pixels' rows in `layout`, one after another without filter bytes.
QByteArray rawRows(const QImage& pixels, const Layout& layout, const ColourTable& table) {
    const int width = pixels.width(), height = pixels.height(), rowBytes = layout.rowBytes(width);
    // Indices of fewer than eight bits are packed from the high bits down, so start from zero.
    QByteArray raw(qsizetype(rowBytes) * height, '\0');
    for (int y = 0; y < height; ++y) {
        const uchar* in = pixels.constScanLine(y);
        uchar* out = reinterpret_cast<uchar*>(raw.data()) + qsizetype(rowBytes) * y;
        for (int x = 0; x < width; ++x) {
            const uchar* pixel = in + 4 * x;
            switch (layout.type) {
            case Indexed: {
                const int bit = x * layout.bitDepth;
                out[bit / 8] |=
                    uchar(table.indexOf(pixelAt(pixel)) << (8 - layout.bitDepth - bit % 8));
                break;
            }
            case Grey:
                out[x] = pixel[0];
                break;
            case GreyAlpha:
                out[2 * x] = pixel[0];
                out[2 * x + 1] = pixel[3];
                break;
            case Rgb:
                std::memcpy(out + 3 * x, pixel, 3);
                break;
            case Rgba:
                std::memcpy(out + 4 * x, pixel, 4);
                break;
            }
        }
    }
    return raw;
}

// Each thread keeps one compressor a level for its next picture: making one (up to a megabyte,
// cleared) costs more than compressing a small picture, and the sets hold many.
libdeflate_compressor* compressorOf(int level) {
    struct Free {
        void operator()(libdeflate_compressor* compressor) const {
            libdeflate_free_compressor(compressor);
        }
    };
    thread_local std::array<std::unique_ptr<libdeflate_compressor, Free>, 13> kept;
    auto& compressor = kept.at(size_t(level));
    if (!compressor)
        compressor.reset(libdeflate_alloc_compressor(level));
    return compressor.get();
}

// A zlib stream of `data`, or nothing when it cannot be made.
QByteArray deflated(const QByteArray& data, int level) {
    libdeflate_compressor* compressor = compressorOf(level);
    if (!compressor)
        return QByteArray();
    QByteArray out(qsizetype(libdeflate_zlib_compress_bound(compressor, size_t(data.size()))),
                   Qt::Uninitialized);
    out.truncate(qsizetype(libdeflate_zlib_compress(
        compressor, data.constData(), size_t(data.size()), out.data(), size_t(out.size()))));
    return out;
}

int finalLevel(PngEffort effort, qsizetype pixelCount) {
    switch (effort) {
    case PngEffort::Smallest:
        return 10;
    case PngEffort::Balanced:
        return 7;
    case PngEffort::Quick:
        return pixelCount <= 256 * 256 ? 7 : 6;
    }
    return 10;
}

// A zlib stream of `data` made by zlib itself, or nothing when it cannot be made.
QByteArray zlibDeflated(const QByteArray& data, int level, int strategy) {
    z_stream stream{};
    if (deflateInit2(&stream, level, Z_DEFLATED, 15, 9, strategy) != Z_OK)
        return QByteArray();
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    const bool done = deflate(&stream, Z_FINISH) == Z_STREAM_END;
    out.truncate(done ? qsizetype(stream.total_out) : 0);
    deflateEnd(&stream);
    return out;
}

// The image data compressed as `effort` allows, the smaller where zlib may do better than
// libdeflate: on rows that are nearly all long runs (a flat picture), zlib's best takes a few
// milliseconds and libdeflate's parse writes up to a quarter more (a 512 x 512 store icon of one
// shape: 2298 bytes against 1832); on a photograph's noisy rows, the quick effort's level takes
// the short matches zlib's filtered strategy leaves, which cost more bits than the literals they
// replace (3 % on the .ico's 256 entry; level 4 is the quickest that honours the strategy).
QByteArray compressed(const QByteArray& data, PngEffort effort, qsizetype pixelCount) {
    QByteArray best = deflated(data, finalLevel(effort, pixelCount));
    if (best.isEmpty())
        return best;
    QByteArray other;
    if (best.size() * nearlyAllRuns < data.size())
        other = zlibDeflated(data, Z_BEST_COMPRESSION, Z_DEFAULT_STRATEGY);
    else if (effort == PngEffort::Quick)
        other = zlibDeflated(data, 4, Z_FILTERED);
    return !other.isEmpty() && other.size() < best.size() ? other : best;
}

// One way of writing the pixels: a layout, its rows and their filtering, and the size of its
// sample at the ranking level.
struct Candidate {
    Layout layout;
    QByteArray raw;
    PngFiltering filtering = PngFiltering::Adaptive;
    qsizetype sampleBytes = 0;
};

void put32(QByteArray& bytes, quint32 value) {
    bytes.append(char(value >> 24)).append(char(value >> 16)).append(char(value >> 8));
    bytes.append(char(value));
}

void putChunk(QByteArray& file, const char* type, const QByteArray& data) {
    put32(file, quint32(data.size()));
    const qsizetype start = file.size();
    file.append(type, 4).append(data);
    put32(file,
          quint32(libdeflate_crc32(0, file.constData() + start, size_t(file.size() - start))));
}

QByteArray pngFile(int width, int height, const Layout& layout, const QByteArray& imageData) {
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    QByteArray file(signature, 8);
    QByteArray header;
    put32(header, quint32(width));
    put32(header, quint32(height));
    // Bit depth, colour type, deflate, adaptive filtering, no interlacing.
    header.append(char(layout.bitDepth)).append(char(layout.type)).append(3, '\0');
    putChunk(file, "IHDR", header);
    if (layout.type == Indexed)
        putChunk(file, "PLTE", layout.palette);
    if (!layout.transparency.isEmpty())
        putChunk(file, "tRNS", layout.transparency);
    putChunk(file, "IDAT", imageData);
    putChunk(file, "IEND", QByteArray());
    return file;
}

} // namespace

EncodedFile encodePng(const QImage& image, PngEffort effort, PngColours colours) {
    if (image.isNull())
        return {QByteArray(), QStringLiteral("no picture to encode")};
    const QImage pixels = rgbaPixels(image);
    const qsizetype pixelCount = qsizetype(pixels.width()) * pixels.height();
    Survey found = survey(pixels);
    Candidate best;
    for (const Layout& layout : exactLayouts(found, colours)) {
        const QByteArray raw = rawRows(pixels, layout, found.table);
        for (PngFiltering filtering : {PngFiltering::Adaptive, PngFiltering::None}) {
            const qsizetype bytes = deflated(filteredRows(raw, layout.rowBytes(pixels.width()),
                                                          layout.filterDistance(), filtering, true),
                                             rankingLevel)
                                        .size();
            if (best.raw.isEmpty() || bytes < best.sampleBytes)
                best = {layout, raw, filtering, bytes};
        }
    }
    const auto compressedAs = [&](PngFiltering filtering) {
        return compressed(filteredRows(best.raw, best.layout.rowBytes(pixels.width()),
                                       best.layout.filterDistance(), filtering),
                          effort, pixelCount);
    };
    QByteArray imageData = compressedAs(best.filtering);
    if (!imageData.isEmpty() && best.layout.channels() == 1 &&
        best.raw.size() <= largestCompressedTwice) {
        const QByteArray other = compressedAs(
            best.filtering == PngFiltering::None ? PngFiltering::Adaptive : PngFiltering::None);
        if (!other.isEmpty() && other.size() < imageData.size())
            imageData = other;
    }
    if (imageData.isEmpty())
        return {QByteArray(), QStringLiteral("cannot be compressed")};
    return {pngFile(pixels.width(), pixels.height(), best.layout, imageData), QString()};
}
