#include "localglobal.h"

#include "trace/trace.h"

namespace LocalGlobal {

QList<Layer> LImageData;
IconStyle iconStyle;
bool isShiftButtonPressed = false;

QString imageName(int index) {
    return QStringLiteral("Image") + QString::number(index);
}

int findImageByName(const QString& name) {
    for (int i = 0; i < LImageData.size(); ++i) {
        if (imageName(LImageData.at(i).index).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int nextFreeIndex() {
    int candidate = 0;
    for (int i = 0; i < LImageData.size(); ++i) {
        qCDebug(lcDocument).noquote() << LImageData.at(i).index;
        if (LImageData.at(i).index == candidate) {
            ++candidate;
            i = -1;
        }
    }
    return candidate;
}

void moveImage(int from, int to) {
    const Layer entry = LImageData.at(from);
    LImageData.removeAt(from);
    LImageData.insert(to, entry);
}

void removeImage(int position) {
    LImageData.removeAt(position);
}

} // namespace LocalGlobal
