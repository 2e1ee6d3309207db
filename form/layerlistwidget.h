#pragma once

#include <QAbstractItemView>
#include <QListWidget>

// Where a dragged row is let go, as the view's drop indicator tells it.
enum class RowDropPlace { OnItem, AboveItem, BelowItem, OnViewport };

// Where a row dragged from `oldPos` and let go at `place` over row `overRow` (-1: no row) ends
// in a list of `count` rows; always a row of the list.
int droppedRowTarget(RowDropPlace place, int oldPos, int overRow, int count);

// The picture list: rows can only be dragged within the list itself; files from outside are
// refused (pictures are dropped on the canvas).
class LayerListWidget : public QListWidget {
    Q_OBJECT

public:
    explicit LayerListWidget(QWidget* parent = nullptr);

    // The selected row's item, kept by the form; the dragged row. Not owned.
    QListWidgetItem* selectedItem = nullptr;

Q_SIGNALS:
    // A row dragged from `oldPos` and let go where it would end at `newPos`; the receiver moves it.
    void moveRequested(int oldPos, int newPos);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    RowDropPlace dropPlace() const;
};
