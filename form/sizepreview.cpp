#include "sizepreview.h"

#include "output/exporttargets.h"
#include "render/iconrenderer.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr int gap = 6;
const QColor grounds[] = {QColor(0xf4, 0xf4, 0xf4), QColor(0x2b, 0x2b, 0x2b)};
const QColor captionColors[] = {QColor(0x50, 0x50, 0x50), QColor(0xc8, 0xc8, 0xc8)};

} // namespace

QList<ExportTarget::PreviewPicture> previewPictures(const Document& document) {
    const QImage rendering = renderDocumentIcon(document);
    QList<ExportTarget::PreviewPicture> pictures =
        ExportTargets::of(document.output).previewPictures(document, rendering);
    // Larger pictures as large as the largest shown at its real size, so the strip grows only for
    // real sizes; scaled here, beside the window's thread, and not at every paint.
    int thumbnail = SizePreview::smallestThumbnail;
    for (const ExportTarget::PreviewPicture& picture : pictures) {
        if (picture.image.width() <= SizePreview::largestShown)
            thumbnail = std::max(thumbnail, picture.image.width());
    }
    for (ExportTarget::PreviewPicture& picture : pictures) {
        if (picture.image.width() > SizePreview::largestShown)
            picture.image = picture.image.scaled(thumbnail, thumbnail, Qt::IgnoreAspectRatio,
                                                 Qt::SmoothTransformation);
    }
    return pictures;
}

bool nothingVisible(const QList<ExportTarget::PreviewPicture>& pictures) {
    return std::all_of(pictures.begin(), pictures.end(), [](const auto& picture) {
        const QImage argb = picture.image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            if (std::any_of(row, row + argb.width(), [](QRgb pixel) { return qAlpha(pixel) != 0; }))
                return false;
        }
        return true;
    });
}

SizePreview::SizePreview(QWidget* parent) : QWidget(parent) {
    setToolTip(tr("The icon as the next export writes it, each file or entry at its real size "
                  "(at most %1 pixels), on a light and on a dark ground.")
                   .arg(largestShown));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void SizePreview::showPictures(const QList<ExportTarget::PreviewPicture>& pictures) {
    shown = pictures;
    tallest = SizePreview::smallestThumbnail;
    for (const ExportTarget::PreviewPicture& picture : pictures)
        tallest = std::max(tallest, picture.image.width());
    blank = nothingVisible(pictures);
    updateGeometry();
    update();
}

int SizePreview::columnWidth(int index) const {
    return std::max(shown[index].image.width(),
                    fontMetrics().horizontalAdvance(shown[index].caption));
}

int SizePreview::groundWidth() const {
    int width = gap;
    for (int i = 0; i < shown.size(); ++i)
        width += columnWidth(i) + gap;
    return width;
}

int SizePreview::rowHeight() const {
    return 2 * gap + tallest + fontMetrics().height();
}

QSize SizePreview::sizeHint() const {
    return QSize(std::max(2 * groundWidth(), 200), heightAt(width()));
}

QSize SizePreview::minimumSizeHint() const {
    return QSize(200, heightAt(width()));
}

int SizePreview::heightAt(int width) const {
    const bool sideBySide = blank || 2 * groundWidth() <= width;
    return sideBySide ? rowHeight() : 2 * rowHeight();
}

void SizePreview::resizeEvent(QResizeEvent* event) {
    if (heightAt(event->size().width()) != heightAt(event->oldSize().width()))
        updateGeometry();
}

// Every picture bottom aligned over its caption, so the sizes compare at a glance.
void SizePreview::paintGround(QPainter& painter, QPoint topLeft, int ground) {
    const int captionTop = topLeft.y() + rowHeight() - gap / 2 - fontMetrics().height();
    painter.fillRect(QRect(topLeft, QSize(groundWidth(), rowHeight())), grounds[ground]);
    painter.setPen(captionColors[ground]);
    int x = topLeft.x() + gap;
    for (int i = 0; i < shown.size(); ++i) {
        const QImage& image = shown[i].image;
        const int column = columnWidth(i);
        const int edge = image.width();
        painter.drawImage(QPoint(x + (column - edge) / 2, captionTop - gap / 2 - edge), image);
        painter.drawText(QRect(x, captionTop, column, fontMetrics().height()), Qt::AlignCenter,
                         shown[i].caption);
        x += column + gap;
    }
}

void SizePreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (blank) {
        painter.fillRect(rect(), grounds[0]);
        painter.setPen(captionColors[0]);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap,
                         tr("Add a picture: the icon shows here as Go writes it."));
        return;
    }
    paintGround(painter, QPoint(0, 0), 0);
    const bool sideBySide = heightAt(width()) == rowHeight();
    paintGround(painter, sideBySide ? QPoint(groundWidth(), 0) : QPoint(0, rowHeight()), 1);
}
