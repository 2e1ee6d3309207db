#include "quickpng.h"

#include <png.h>

#include <csetjmp>

namespace {

void appendBytes(png_structp png, png_bytep data, size_t length) {
    static_cast<QByteArray*>(png_get_io_ptr(png))
        ->append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushNothing(png_structp) {}

// libpng reports its errors by a long jump back here; nothing with a destructor is made between
// the jump's start and its end.
bool writePng(png_structp png, png_infop info, const QImage& pixels, bool alpha, int level,
              QByteArray* bytes) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, bytes, appendBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(pixels.width()), png_uint_32(pixels.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, level);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_write_info(png, info);
    for (int y = 0; y < pixels.height(); ++y)
        png_write_row(png, pixels.constScanLine(y));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

EncodedFile encodeQuickPng(const QImage& image, int level) {
    EncodedFile encoded;
    if (image.isNull()) {
        encoded.failure = QStringLiteral("no picture to encode");
        return encoded;
    }
    const bool alpha = image.hasAlphaChannel();
    const QImage pixels =
        image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || !writePng(png, info, pixels, alpha, level, &encoded.bytes))
        encoded.failure = QStringLiteral("cannot be encoded as PNG");
    png_destroy_write_struct(&png, &info);
    return encoded;
}
