#pragma once

#include "document/document.h"

#include <QCoreApplication>
#include <QList>

class CanvasWidget;
class QComboBox;

// The canvas's "Show at" list: all sizes (the canvas as it is edited) or one pixel size the
// document's chosen target writes, at which the canvas shows the icon as that size will be. A
// choice of the view, not of the document: choosing makes no edit and no project keeps it.
class ShowAtChoice {
    Q_DECLARE_TR_FUNCTIONS(ShowAtChoice)

public:
    ShowAtChoice(QComboBox* list, CanvasWidget* canvas);

    // Offers the sizes `document`'s target writes; the size shown stays while it writes it,
    // otherwise the canvas goes back to all sizes.
    void show(const Document& document);

    // The pixel sizes offered for `document`, ascending: those its target writes, or, for a
    // target without a list of sizes (a platform's folder set), every size a target that has one
    // writes of it, so the usual sizes are there to compare.
    static QList<int> sizesOf(const Document& document);

private:
    QComboBox* list;
    CanvasWidget* canvas;

    // The size at `index` of the list; 0 (all sizes) for the first.
    int sizeAt(int index) const;
};
