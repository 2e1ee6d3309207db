#include "jpegdecoder.h"

#include "trace/trace.h"

#include <QSysInfo>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <memory>

// libjpeg reports a fault by calling `error_exit`, which must not return: it jumps back into the
// call that met it. Only functions without objects to destroy call setjmp, so nothing is skipped.
struct JpegDecoder::State {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    std::jmp_buf failed{};
};

namespace {

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(*static_cast<std::jmp_buf*>(info->client_data), 1);
}

void traceMessage(j_common_ptr info) {
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    qCDebug(lcPicture).nospace() << "JPEG: " << text;
}

} // namespace

JpegDecoder::JpegDecoder(const QByteArray& bytes) : state(std::make_unique<State>()) {
    jpeg_decompress_struct& info = state->info;
    info.err = jpeg_std_error(&state->errors);
    state->errors.error_exit = jumpBack;
    state->errors.output_message = traceMessage;
    info.client_data = &state->failed;
    colour = readHeader(bytes);
}

JpegDecoder::~JpegDecoder() {
    jpeg_destroy_decompress(&state->info);
}

// Destroying a decoder never created is harmless, so a failure here leaves nothing to undo.
bool JpegDecoder::readHeader(const QByteArray& bytes) {
    jpeg_decompress_struct& info = state->info;
    if (setjmp(state->failed))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xffff);
    // Anything but a whole header is an error: it jumps back.
    jpeg_read_header(&info, TRUE);
    return info.num_components == 3 &&
           (info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB);
}

bool JpegDecoder::isColour() const {
    return colour;
}

QSize JpegDecoder::size() const {
    return colour ? QSize(int(state->info.image_width), int(state->info.image_height)) : QSize();
}

QByteArray JpegDecoder::iccProfile() const {
    JOCTET* data = nullptr;
    unsigned int length = 0;
    if (!colour)
        return {};
    if (setjmp(state->failed))
        return {};
    if (!jpeg_read_icc_profile(&state->info, &data, &length))
        return {};
    // libjpeg hands the profile over in memory of its caller's to free.
    const std::unique_ptr<JOCTET, void (*)(void*)> owned(data, std::free);
    return QByteArray(reinterpret_cast<const char*>(owned.get()), int(length));
}

bool JpegDecoder::start() {
    jpeg_decompress_struct& info = state->info;
    if (setjmp(state->failed))
        return false;
    // The bytes of a QRgb in memory, with the fourth set to 255.
    info.out_color_space =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    return jpeg_start_decompress(&info);
}

bool JpegDecoder::readRows(QRgb* rows, int count, qsizetype stride) {
    if (!started)
        started = colour && start();
    if (!started)
        return false;
    if (setjmp(state->failed))
        return false;
    for (int done = 0; done < count;) {
        auto* row = reinterpret_cast<JSAMPROW>(rows + done * stride);
        const JDIMENSION read = jpeg_read_scanlines(&state->info, &row, 1);
        if (read == 0)
            return false;
        done += int(read);
    }
    return true;
}
