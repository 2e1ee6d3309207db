#include "picturelist.h"
#include "ui_editorform.h"

#include "document/localglobal.h"
#include "form/stylecontrols.h"
#include "trace/trace.h"

#include <QPixmap>
#include <QSpinBox>

using LocalGlobal::LImageData;

namespace {

void traceIndexes() {
    for (const Layer& object : LImageData)
        qCDebug(lcForm).nospace() << object.index;
}

// A layer made only in part shows the whole picture in its row.
QImage rowPicture(const Layer& layer) {
    return layer.image.size() == layer.rect.size() ? layer.image : layer.sourceImage;
}

} // namespace

PictureList::PictureList(Ui::EditorForm& ui, bool& slotsEnabled)
    : ui(ui), slotsEnabled(slotsEnabled) {}

// Made at the size the list shows, so a repaint of the list does not shrink every picture again.
QIcon PictureList::rowIcon(const QImage& image) const {
    const QSize size = ui.listWidget->iconSize() * ui.listWidget->devicePixelRatio();
    if (image.isNull() || size.isEmpty())
        return QIcon(QPixmap::fromImage(image));
    return QIcon(
        QPixmap::fromImage(image.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

// One row per layer, the top layer first, none selected. Rows that already name the layers in
// their order are kept: making their icons again is most of the work.
void PictureList::fill() {
    slotsEnabled = false;
    LayerListWidget* list = ui.listWidget;
    QStringList names;
    for (const Layer& layer : LImageData)
        names.prepend(LocalGlobal::imageName(layer.index));
    QStringList rows;
    for (int row = 0; row < list->count(); ++row)
        rows << list->item(row)->text();
    list->clearSelection();
    list->selectedItem = nullptr;
    if (rows != names) {
        list->clear();
        for (const Layer& layer : LImageData) {
            list->insertItem(0, new QListWidgetItem(rowIcon(rowPicture(layer)),
                                                    LocalGlobal::imageName(layer.index)));
        }
    }
    disableButtons();
    ui.dropImageLabel->setVisible(LImageData.isEmpty());
    slotsEnabled = true;
}

void PictureList::showControls(bool show) {
    StyleControls::showWidgets({ui.selectedImageLabel, ui.selectedImageNameLabel, ui.positionXLabel,
                                ui.positionXSpinBox, ui.positionYLabel, ui.positionYSpinBox,
                                ui.sizeLabel, ui.sizeSpinBox, ui.sizeLabel2, ui.rotateLabel,
                                ui.rotateSpinBox},
                               show);
    ui.objectNoteLabel->setVisible(!show);
    ui.objectTipsLabel->setVisible(show);
}

bool PictureList::isRow(int row) const {
    return row >= 0 && row < ui.listWidget->count() && row < LImageData.size();
}

void PictureList::updateButtons(int row) {
    ui.upToolButton->setEnabled(row >= 1);
    ui.downToolButton->setEnabled(row < ui.listWidget->count() - 1);
    ui.deleteToolButton->setEnabled(true);
}

void PictureList::disableButtons() {
    ui.upToolButton->setEnabled(false);
    ui.downToolButton->setEnabled(false);
    ui.deleteToolButton->setEnabled(false);
}

// Selects on the canvas the object of the selected row; through itemSelected the canvas then
// fills the Selected Object page.
void PictureList::selectRowOnCanvas() {
    const QList<QListWidgetItem*> selected = ui.listWidget->selectedItems();
    if (!selected.isEmpty())
        ui.widget->selectByName(selected.first()->text());
}

// Moves row `from` to row `to` and its object by the same number of layers; the row stays
// selected.
void PictureList::moveRow(int from, int to) {
    LayerListWidget* list = ui.listWidget;
    const int count = LImageData.size();
    QListWidgetItem* item = list->takeItem(from);
    list->insertItem(to, item);
    list->setCurrentItem(item);
    list->selectedItem = item;
    LocalGlobal::moveImage(count - from - 1, count - to - 1);
}

void PictureList::addRow(int imageDataIndex, const QImage& image) {
    if (!isLayer(imageDataIndex))
        return;
    auto* item = new QListWidgetItem(rowIcon(image),
                                     LocalGlobal::imageName(LImageData.at(imageDataIndex).index));
    ui.listWidget->insertItem(0, item);
    item->setSelected(true);
    showSelected(imageDataIndex);
    ui.dropImageLabel->hide();
}

void PictureList::showSelected(int imageDataIndex) {
    if (!isLayer(imageDataIndex))
        return;
    slotsEnabled = false;
    const QString name = LocalGlobal::imageName(LImageData.at(imageDataIndex).index);
    const QList<QListWidgetItem*> rows =
        ui.listWidget->findItems(name, Qt::MatchFixedString); // without regard to case
    if (!rows.isEmpty()) {
        QListWidgetItem* item = rows.first();
        ui.listWidget->setCurrentItem(item);
        ui.listWidget->selectedItem = item;
        updateButtons(ui.listWidget->row(item));
        showSelectedObject(imageDataIndex);
    }
    showControls(true);
    slotsEnabled = true;
}

void PictureList::showSelectedObject(int imageDataIndex) {
    const Layer& object = LImageData.at(imageDataIndex);
    // The preview shows the picture as loaded, not as zoomed or rotated.
    QPixmap preview;
    if (!object.sourceImage.isNull())
        preview = QPixmap::fromImage(
            object.sourceImage.scaled(128, 128, Qt::KeepAspectRatio, Qt::FastTransformation));
    ui.selectedImageLabel->setPixmap(preview);
    ui.selectedImageNameLabel->setText(LocalGlobal::imageName(object.index));
    ui.positionXSpinBox->setValue(object.position.x());
    ui.positionYSpinBox->setValue(object.position.y());
    ui.sizeSpinBox->setValue(object.scale);
    ui.rotateSpinBox->setValue(object.rotation);
}

// The page's boxes follow the canvas without their slots acting on it again.
void PictureList::showQuietly(std::initializer_list<std::pair<QSpinBox*, int>> values) {
    slotsEnabled = false;
    for (const auto& [box, value] : values)
        box->setValue(value);
    slotsEnabled = true;
}

void PictureList::showPosition(int imageDataIndex) {
    if (isLayer(imageDataIndex)) {
        const QPoint position = LImageData.at(imageDataIndex).position;
        showQuietly({{ui.positionXSpinBox, position.x()}, {ui.positionYSpinBox, position.y()}});
    }
}

void PictureList::showScale(int imageDataIndex) {
    if (isLayer(imageDataIndex))
        showQuietly({{ui.sizeSpinBox, LImageData.at(imageDataIndex).scale}});
}

void PictureList::showRotation(int imageDataIndex) {
    if (isLayer(imageDataIndex))
        showQuietly({{ui.rotateSpinBox, LImageData.at(imageDataIndex).rotation}});
}

bool PictureList::isLayer(int imageDataIndex) const {
    return imageDataIndex >= 0 && imageDataIndex < LImageData.size();
}

void PictureList::selectionChanged() {
    if (!slotsEnabled)
        return;
    qCDebug(lcForm) << "on_ListWidget_itemSelectionChanged";
    const QList<QListWidgetItem*> selected = ui.listWidget->selectedItems();
    if (selected.isEmpty()) {
        disableButtons();
        return;
    }
    ui.listWidget->selectedItem = selected.first();
    const int row = ui.listWidget->row(selected.first());
    ui.widget->selectByName(selected.first()->text());
    qCDebug(lcForm).nospace() << "index: " << row;
    updateButtons(row);
}

void PictureList::moveSelectedUp() {
    slotsEnabled = false;
    const QList<QListWidgetItem*> selected = ui.listWidget->selectedItems();
    const int row = selected.isEmpty() ? -1 : ui.listWidget->row(selected.first());
    if (row >= 1 && isRow(row)) {
        qCDebug(lcForm).nospace() << "on_upToolButton_clicked: " << row;
        moveRow(row, row - 1);
        ui.widget->updateData();
    }
    slotsEnabled = true;
    selectionChanged();
}

void PictureList::moveSelectedDown() {
    slotsEnabled = false;
    const QList<QListWidgetItem*> selected = ui.listWidget->selectedItems();
    const int row = selected.isEmpty() ? -1 : ui.listWidget->row(selected.first());
    if (isRow(row) && isRow(row + 1)) {
        qCDebug(lcForm).nospace() << "on_downToolButton_clicked: " << row;
        traceIndexes();
        qCDebug(lcForm) << "=============";
        moveRow(row, row + 1);
        traceIndexes();
        ui.widget->updateData();
    }
    slotsEnabled = true;
    selectionChanged();
}

void PictureList::deleteSelected() {
    slotsEnabled = false;
    LayerListWidget* list = ui.listWidget;
    for (QListWidgetItem* item : list->selectedItems()) {
        const int position = LocalGlobal::findImageByName(item->text());
        if (position >= 0)
            LocalGlobal::removeImage(position);
        if (list->selectedItem == item)
            list->selectedItem = nullptr;
        delete item;
    }
    // The deletion ends with nothing selected anywhere, so the list must not go on showing a
    // neighbouring row as selected, nor offer buttons that would act on it.
    list->clearSelection();
    disableButtons();
    showControls(false);
    ui.widget->selectByName(QStringLiteral("-1"));
    ui.widget->updateData();
    ui.dropImageLabel->setVisible(list->count() == 0);
    slotsEnabled = true;
}

void PictureList::rowMoved(int oldPos, int newPos) {
    qCDebug(lcForm).nospace() << "on_ListWidget_itemMoved: " << oldPos << " : " << newPos;
    if (!isRow(oldPos) || !isRow(newPos))
        return;
    const int count = LImageData.size();
    slotsEnabled = false;
    LocalGlobal::moveImage(count - oldPos - 1, count - newPos - 1);
    ui.widget->updateData();
    slotsEnabled = true;
    selectRowOnCanvas();
    qCDebug(lcForm).nospace() << "newPos: " << newPos;
    // Last, so the buttons describe the row's new place; the list moves the row afterwards.
    updateButtons(newPos);
}

void PictureList::moveRowTo(int oldPos, int newPos) {
    qCDebug(lcForm) << "on_ListWidget_moveRequested";
    if (!isRow(oldPos) || !isRow(newPos))
        return;
    slotsEnabled = false;
    moveRow(oldPos, newPos);
    ui.widget->updateData();
    slotsEnabled = true;
    selectRowOnCanvas();
    qCDebug(lcForm).nospace() << "newPos: " << newPos;
    updateButtons(newPos);
}
