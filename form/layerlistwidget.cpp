#include "layerlistwidget.h"

#include "trace/trace.h"

#include <QDragEnterEvent>
#include <QDropEvent>

int droppedRowTarget(RowDropPlace place, int oldPos, int overRow, int count) {
    int newPos = overRow;
    switch (place) {
    case RowDropPlace::OnItem:
        qCDebug(lcForm) << "QAbstractItemView::OnItem";
        break;
    case RowDropPlace::AboveItem:
        qCDebug(lcForm) << "QAbstractItemView::AboveItem";
        if (oldPos < newPos)
            --newPos;
        break;
    case RowDropPlace::BelowItem:
        qCDebug(lcForm) << "QAbstractItemView::BelowItem";
        if (oldPos > newPos)
            ++newPos;
        break;
    case RowDropPlace::OnViewport:
        qCDebug(lcForm) << "QAbstractItemView::OnViewport";
        return count - 1;
    }
    return qBound(0, newPos, count - 1);
}

LayerListWidget::LayerListWidget(QWidget* parent) : QListWidget(parent) {}

void LayerListWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this)
        event->accept();
    else
        event->ignore();
}

void LayerListWidget::dropEvent(QDropEvent* event) {
    // A drag the list did not start, or one whose row is no longer known, moves nothing.
    const int oldPos = selectedItem ? row(selectedItem) : -1;
    if (event->source() != this || oldPos < 0) {
        event->ignore();
        return;
    }
    const QListWidgetItem* over = itemAt(event->position().toPoint());
    int newPos = over ? row(over) : -1;
    qCDebug(lcForm).nospace() << "dropEvent: " << oldPos << " : " << newPos;

    newPos = droppedRowTarget(dropPlace(), oldPos, newPos, count());
    // Left unaccepted: the receiver moves the layer and the rows follow the document; a drag that
    // ended as a move would make the view remove a row of its own.
    event->ignore();
    Q_EMIT moveRequested(oldPos, newPos);
}

RowDropPlace LayerListWidget::dropPlace() const {
    switch (dropIndicatorPosition()) {
    case OnItem:
        return RowDropPlace::OnItem;
    case AboveItem:
        return RowDropPlace::AboveItem;
    case BelowItem:
        return RowDropPlace::BelowItem;
    case OnViewport:
        break;
    }
    return RowDropPlace::OnViewport;
}
