// Picture intake on untrusted bytes, as a drop takes them: by content, and by a file's name (an
// SVG or PNG name, as the content suggests). Either way the answer is a picture within the limits
// or a reason, and the two ways agree.
#include "picture/pictureintake.h"

#include "fuzz/fuzzing.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

using Fuzzing::require;

namespace {

void requireWithinLimits(const PictureIntake::Picture& picture) {
    require(picture.image.isNull() != picture.refusal.isEmpty());
    require(!picture.tooLarge || !picture.refusal.isEmpty());
    if (picture.image.isNull())
        return;
    require(picture.image.width() <= PictureLimits::maxSide);
    require(picture.image.height() <= PictureLimits::maxSide);
    require(qint64(picture.image.width()) * picture.image.height() <= PictureLimits::maxPixels);
}

// The picture read from a file holding `bytes`, named as a drop of that content would be.
PictureIntake::Picture readAsFile(const QByteArray& bytes) {
    static const QTemporaryDir folder;
    const QString name =
        bytes.contains("<svg") ? QStringLiteral("input.svg") : QStringLiteral("input.png");
    QFile file(QDir(folder.path()).filePath(name));
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
            file.write(bytes) == bytes.size());
    file.close();
    return PictureIntake::read(file.fileName());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const PictureIntake::Picture picture = PictureIntake::decode(bytes);
    requireWithinLimits(picture);
    const PictureIntake::Picture read = readAsFile(bytes);
    requireWithinLimits(read);
    require(read.refusal == picture.refusal && read.image.size() == picture.image.size());
    return 0;
}
