#include "sizepreview.h"

#include "output/exporttargets.h"
#include "output/icowriter.h"
#include "render/iconrenderer.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int gap = 6;
constexpr int bandHeight = 2 * SizePreview::largestShown + 2 * gap;
const QColor grounds[] = {QColor(0xf4, 0xf4, 0xf4), QColor(0x2b, 0x2b, 0x2b)};

int shownEdge(const QImage& entry) {
    return std::min(entry.width(), SizePreview::largestShown);
}

} // namespace

QList<int> previewSizes(const QList<int>& entrySizes) {
    QList<int> sizes{16, 24, 32, 48};
    for (int size : entrySizes) {
        if (size < SizePreview::largestShown && !sizes.contains(size))
            sizes << size;
    }
    std::sort(sizes.begin(), sizes.end());
    const int largest =
        entrySizes.isEmpty() ? 0 : *std::max_element(entrySizes.begin(), entrySizes.end());
    if (largest > SizePreview::largestShown)
        sizes << largest;
    return sizes;
}

QList<QImage> previewEntries(const Document& document, const QList<int>& sizes, bool sharp, int k) {
    const QImage rendering =
        ExportTargets::at(document.output.target)
            .artwork(document, IconRenderer(k).renderIcon(document.style, document.layers));
    QList<int> small = sizes;
    small.removeIf([](int size) { return size > SizePreview::largestShown; });
    QList<QImage> entries =
        iconEntryImages(rendering, small, sharp, document.style, document.layers, k);
    if (small.size() < sizes.size())
        entries << rendering.scaled(SizePreview::largestShown, SizePreview::largestShown,
                                    Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return entries;
}

SizePreview::SizePreview(QWidget* parent) : QWidget(parent) {
    setToolTip(tr("The icon at the sizes the next export writes: as they are, and enlarged twice "
                  "so each pixel can be seen."));
}

void SizePreview::showEntries(const QList<QImage>& entries) {
    shown = entries;
    updateGeometry();
    update();
}

QSize SizePreview::sizeHint() const {
    int width = gap;
    for (const QImage& entry : shown)
        width += 3 * shownEdge(entry) + 2 * gap;
    return QSize(std::max(width, 200), 2 * bandHeight);
}

QSize SizePreview::minimumSizeHint() const {
    return QSize(200, 2 * bandHeight);
}

// Each band: every entry as it is, then every entry enlarged twice without smoothing, bottom
// aligned so the sizes compare at a glance.
void SizePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    for (int band = 0; band < 2; ++band) {
        const int bottom = band * bandHeight + bandHeight - gap;
        painter.fillRect(0, band * bandHeight, width(), bandHeight, grounds[band]);
        int x = gap;
        for (int scale : {1, 2}) {
            for (const QImage& entry : shown) {
                const int edge = shownEdge(entry) * scale;
                painter.setRenderHint(QPainter::SmoothPixmapTransform, entry.width() > edge);
                painter.drawImage(QRect(x, bottom - edge, edge, edge), entry);
                x += edge + gap;
            }
        }
    }
}
