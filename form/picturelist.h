#pragma once

#include <QIcon>
#include <QImage>

#include <initializer_list>
#include <utility>

class QSpinBox;

namespace Ui {
class EditorForm;
}

// The picture list under the canvas, its three buttons and the Selected Object page. Rows follow
// the layers, the top layer first; the selected row is the canvas selection and the page shows
// its picture. The form's slots hand their work to it; it shares the form's slot guard.
class PictureList {
public:
    PictureList(Ui::EditorForm& ui, bool& slotsEnabled);

    // A row for the layer at `imageDataIndex`, just added on top, selected.
    void addRow(int imageDataIndex, const QImage& image);
    // The row and page of the layer the canvas selected.
    void showSelected(int imageDataIndex);
    // The page's values after the canvas moved, zoomed or turned the layer.
    void showPosition(int imageDataIndex);
    void showScale(int imageDataIndex);
    void showRotation(int imageDataIndex);

    // The user selected another row (or none).
    void selectionChanged();
    void moveSelectedUp();
    void moveSelectedDown();
    void deleteSelected();
    // A row dragged from `oldPos` to `newPos`: moved by the list itself afterwards, or here.
    void rowMoved(int oldPos, int newPos);
    void moveRowTo(int oldPos, int newPos);

    // One row per layer again, none selected.
    void fill();
    void showControls(bool show);
    void disableButtons();

private:
    Ui::EditorForm& ui;
    bool& slotsEnabled;

    QIcon rowIcon(const QImage& image) const;
    bool isRow(int row) const;
    bool isLayer(int imageDataIndex) const;
    void showQuietly(std::initializer_list<std::pair<QSpinBox*, int>> values);
    void updateButtons(int row);
    void selectRowOnCanvas();
    void moveRow(int from, int to);
    void showSelectedObject(int imageDataIndex);
};
