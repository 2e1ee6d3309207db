#pragma once

#include "document/document.h"
#include "output/exporttarget.h"

#include <QList>
#include <QWidget>

// What the preview shows of `document`: the pictures of its chosen target
// (ExportTarget::previewPictures), drawn from the icon as the writer draws it; those larger than
// SizePreview::largestShown scaled down to the largest of the others (at least
// SizePreview::smallestThumbnail), captioned still with what they stand for.
QList<ExportTarget::PreviewPicture> previewPictures(const Document& document);

// True when no picture has a visible pixel: there is nothing to judge yet.
bool nothingVisible(const QList<ExportTarget::PreviewPicture>& pictures);

// The files or entries the next export writes in one row, each at its real size over its caption,
// on a light and a dark ground side by side, so the small sizes can be judged while editing; the
// dark ground goes under the light one when the two do not fit side by side. Before anything is
// visible it shows a short hint instead.
class SizePreview : public QWidget {
    Q_OBJECT

public:
    // Largest edge shown at its real size: every size Windows asks for below 256.
    static constexpr int largestShown = 96;
    static constexpr int smallestThumbnail = 48;

    explicit SizePreview(QWidget* parent = nullptr);

    // Shows `pictures` (square images) in the order given.
    void showPictures(const QList<ExportTarget::PreviewPicture>& pictures);
    const QList<ExportTarget::PreviewPicture>& pictures() const { return shown; }

    QSize sizeHint() const override;
    // Narrower than all pictures need: what does not fit is cut off rather than widen the window.
    QSize minimumSizeHint() const override;
    // The height at `width`: one row, or two when the grounds do not fit side by side.
    int heightAt(int width) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Asks for a new height when the grounds go under each other or side by side again: the
    // window's scroll area does not lay out a height for a width.
    void resizeEvent(QResizeEvent* event) override;

private:
    int columnWidth(int index) const;
    int groundWidth() const;
    int rowHeight() const;
    void paintGround(QPainter& painter, QPoint topLeft, int ground);

    QList<ExportTarget::PreviewPicture> shown;
    // The largest picture's edge, at least smallestThumbnail: the row's height.
    int tallest = smallestThumbnail;
    // Whether no picture shown has a visible pixel, worked out once per change, not per paint.
    bool blank = true;
};
