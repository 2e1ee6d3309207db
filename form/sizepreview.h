#pragma once

#include "document/document.h"

#include <QImage>
#include <QList>
#include <QWidget>

// The sizes shown beside the editor: 16, 24, 32 and 48 whatever the export holds, every other
// entry of the export up to 48, and the largest entry (scaled down to 48 to be seen).
QList<int> previewSizes(const QList<int>& entrySizes);

// The images shown for `sizes` (from previewSizes), each drawn as the writer draws it from
// `document` at canvas factor k (sharp: the small ones at their own size); the largest, when
// above 48, scaled down to 48 from the rendering.
QList<QImage> previewEntries(const Document& document, const QList<int>& sizes, bool sharp, int k);

// True when no entry has a visible pixel: there is nothing to judge yet.
bool nothingVisible(const QList<QImage>& entries);

// The entries the next export writes in one row, each at its real size over its size in pixels,
// on a light and a dark ground side by side, so the small sizes can be judged while editing.
// Before anything is visible it shows a short hint instead.
class SizePreview : public QWidget {
    Q_OBJECT

public:
    // Largest edge shown at its real size.
    static constexpr int largestShown = 48;

    explicit SizePreview(QWidget* parent = nullptr);

    // Shows `entries`, square images in the order given, captioned with `sizes`, the sizes they
    // stand for; larger ones are drawn at 48.
    void showEntries(const QList<QImage>& entries, const QList<int>& sizes);
    const QList<QImage>& entries() const { return shown; }

    QSize sizeHint() const override;
    // Narrower than all entries need: what does not fit is cut off rather than widen the window.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int columnWidth(int index) const;
    int groundWidth() const;
    void paintGround(QPainter& painter, int left, int ground);

    QList<QImage> shown;
    QList<int> captions;
    // Whether no entry shown has a visible pixel, worked out once per change, not per paint.
    bool blank = true;
};
