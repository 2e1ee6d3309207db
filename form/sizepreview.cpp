#include "sizepreview.h"

#include "output/exporttargets.h"
#include "output/icowriter.h"
#include "render/iconrenderer.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int gap = 6;
const QColor grounds[] = {QColor(0xf4, 0xf4, 0xf4), QColor(0x2b, 0x2b, 0x2b)};
const QColor captionColors[] = {QColor(0x50, 0x50, 0x50), QColor(0xc8, 0xc8, 0xc8)};

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
        ExportTargets::of(document.output)
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

bool nothingVisible(const QList<QImage>& entries) {
    return std::all_of(entries.begin(), entries.end(), [](const QImage& entry) {
        const QImage argb = entry.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            if (std::any_of(row, row + argb.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; }))
                return false;
        }
        return true;
    });
}

SizePreview::SizePreview(QWidget* parent) : QWidget(parent) {
    setToolTip(tr("The icon at the sizes the next export writes, each at its real size, on a "
                  "light and on a dark ground."));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void SizePreview::showEntries(const QList<QImage>& entries, const QList<int>& sizes) {
    shown = entries;
    captions = sizes;
    blank = nothingVisible(entries);
    updateGeometry();
    update();
}

int SizePreview::columnWidth(int index) const {
    return std::max(shownEdge(shown[index]),
                    fontMetrics().horizontalAdvance(QString::number(captions.value(index))));
}

int SizePreview::groundWidth() const {
    int width = gap;
    for (int i = 0; i < shown.size(); ++i)
        width += columnWidth(i) + gap;
    return width;
}

QSize SizePreview::sizeHint() const {
    return QSize(std::max(2 * groundWidth(), 200), minimumSizeHint().height());
}

QSize SizePreview::minimumSizeHint() const {
    return QSize(200, 2 * gap + largestShown + fontMetrics().height());
}

// Every entry bottom aligned over its caption, so the sizes compare at a glance.
void SizePreview::paintGround(QPainter& painter, int left, int ground) {
    const int captionTop = height() - gap / 2 - fontMetrics().height();
    painter.fillRect(left, 0, groundWidth(), height(), grounds[ground]);
    painter.setPen(captionColors[ground]);
    int x = left + gap;
    for (int i = 0; i < shown.size(); ++i) {
        const QImage& entry = shown[i];
        const int column = columnWidth(i);
        const int edge = shownEdge(entry);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, entry.width() > edge);
        painter.drawImage(QRect(x + (column - edge) / 2, captionTop - gap / 2 - edge, edge, edge),
                          entry);
        painter.drawText(QRect(x, captionTop, column, fontMetrics().height()), Qt::AlignCenter,
                         QString::number(captions.value(i)));
        x += column + gap;
    }
}

void SizePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (blank) {
        painter.fillRect(rect(), grounds[0]);
        painter.setPen(captionColors[0]);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         tr("Add a picture: the icon shows here at the sizes Go writes."));
        return;
    }
    paintGround(painter, 0, 0);
    paintGround(painter, groundWidth(), 1);
}
