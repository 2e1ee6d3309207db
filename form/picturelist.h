#pragma once

#include "document/document.h"

#include <QIcon>
#include <QImage>

class EditedDocument;

namespace Ui {
class EditorForm;
}

// The picture list under the canvas, its three buttons and the Selected Object page. Rows show
// the layers, the top layer first; the selected row is the document's selection and the page
// shows its layer. What the user does here becomes an edit of the document; what the document
// is, show() puts on the screen. Shares the form's slot guard.
class PictureList {
public:
    PictureList(Ui::EditorForm& ui, EditedDocument& edited, bool& slotsEnabled);

    void show(const Document& document);

    // The user selected another row (or none).
    void selectionChanged();
    void moveSelectedUp();
    void moveSelectedDown();
    void deleteSelected();
    // A row dragged from `oldRow` and let go at `newRow`.
    void moveRow(int oldRow, int newRow);
    // The page's boxes changed by the user.
    void positionEdited();
    void scaleEdited();
    void rotationEdited();

private:
    Ui::EditorForm& ui;
    EditedDocument& edited;
    bool& slotsEnabled;

    QIcon rowIcon(const QImage& image) const;
    void fillRows(const Document& document);
    void showSelection(const Document& document);
    void showControls(bool show);
    void showLayer(const Layer& layer);
    // The list position of the layer a row shows, and back.
    int layerOfRow(int row) const;
    int rowOfLayer(int position) const;
};
