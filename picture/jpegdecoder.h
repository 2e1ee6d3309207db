#pragma once

#include <QByteArray>
#include <QRgb>
#include <QSize>

#include <memory>

// A colour JPEG decoded row by row into 32-bit RGB with libjpeg, so the rows decoded can be put
// to use while the next ones are: Qt's reader hands out a picture only once it is whole. A fault
// libjpeg cannot pass over ends the decoding and is told by the calls below, never by exiting.
class JpegDecoder {
public:
    // Reads the header of the JPEG in `bytes`, which must outlive the decoder.
    explicit JpegDecoder(const QByteArray& bytes);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    // The header was read and the picture has the three components of a colour picture: grey
    // and CMYK ones are not decoded here.
    bool isColour() const;
    QSize size() const;
    // The embedded colour profile; empty without one.
    QByteArray iccProfile() const;
    // The next `count` rows into `rows`, `stride` pixels apart. False when libjpeg fails.
    bool readRows(QRgb* rows, int count, qsizetype stride);

private:
    struct State;
    bool readHeader(const QByteArray& bytes);
    bool start();

    std::unique_ptr<State> state;
    bool colour = false;
    bool started = false;
};
