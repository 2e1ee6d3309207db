// The application's reading of a picture helper's reply, whose helper may have been taken over by
// the picture it decoded: the input is the reply's fixed part, then the pixels beside it. Any
// reply is either refused as malformed or an answer whose picture lies wholly in those pixels.
#include "picture/helperprotocol.h"

#include "fuzz/fuzzing.h"

#include <cstdint>
#include <cstring>
#include <vector>

using Fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HelperProtocol::Reply reply;
    if (size < sizeof(reply))
        return 0;
    std::memcpy(&reply, data, sizeof(reply));
    // A copy of its own size, so reading past it is a finding of AddressSanitizer.
    const std::vector<uint8_t> pixels(data + sizeof(reply), data + size);
    const bool withPixels = !pixels.empty();
    const std::optional<HelperProtocol::Answer> answer = HelperProtocol::answerOf(
        reply, withPixels ? pixels.data() : nullptr, qsizetype(pixels.size()), nullptr, nullptr);
    if (!answer)
        return 0;
    require(answer->image.isNull() != withPixels);
    if (withPixels) {
        const QImage& image = answer->image;
        require(image.sizeInBytes() == qsizetype(pixels.size()));
        quint32 sum = 0;
        for (int y = 0; y < image.height(); ++y)
            sum += image.constScanLine(y)[image.bytesPerLine() - 1];
        require(sum <= quint32(255) * quint32(image.height()));
    }
    require(answer->refusal.size() <= qsizetype(sizeof(reply.reason)));
    return 0;
}
