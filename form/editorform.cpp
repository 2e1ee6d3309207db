#include "editorform.h"
#include "ui_editorform.h"

#include "document/editeddocument.h"
#include "document/localglobal.h"
#include "document/stylestore.h"
#include "form/exportpngdialog.h"
#include "form/formlayout.h"
#include "form/iconsizesdialog.h"
#include "form/outputflow.h"
#include "form/picturelist.h"
#include "form/sizepreview.h"
#include "form/stylecontrols.h"
#include "output/icnswriter.h"
#include "output/iconsizes.h"
#include "output/iconthemewriter.h"
#include "output/icowriter.h"
#include "output/pngwriter.h"
#include "output/resolutionlist.h"
#include "trace/trace.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>

#include <initializer_list>
#include <utility>

using LocalGlobal::iconStyle;
using LocalGlobal::LImageData;

EditorForm::EditorForm(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::EditorForm>()) {
    ui->setupUi(this);
    pictures = std::make_unique<PictureList>(*ui, isSlotEnabled);
    style = std::make_unique<StyleControls>(*ui, isSlotEnabled);
    preview = new SizePreview(this);
    buildLayouts();
    initControls();
    loadStyle();
    style->show();
    style->measureBadgeText();
    history = new EditedDocument([this] { return document(); },
                                 [this](const Document& shown) { showDocument(shown); },
                                 [this] { return ui->widget->dragging(); }, this);
    connectHistory();
    history->reset();
    previewer = new PreviewScheduler(
        preview, [this] { return previewRequest(); }, this);
    // Every paint of the canvas shows a change: the preview follows a moment later.
    ui->widget->installEventFilter(this);
    connect(ui->outputComboBox, &QComboBox::currentIndexChanged, this, &EditorForm::updatePreview);
}

bool EditorForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint)
        previewer->schedule();
    return QWidget::eventFilter(watched, event);
}

// The export's sizes (the icon file's entries, or the PNG sizes) drawn as the writer draws them.
PreviewScheduler::Request EditorForm::previewRequest() const {
    const int k = ui->widget->getSizeIndex();
    const bool icon = ui->outputComboBox->currentIndex() == 0;
    const IconSizeChoice choice = IconSizes::stored();
    QList<int> exported;
    if (icon) {
        exported = IconSizes::entrySizes(choice, 256 * k, k);
    } else if (ui->outputComboBox->currentIndex() >= 2) {
        exported = IconThemeWriter::sizes();
    } else {
        exported = ResolutionList::storedSizes();
    }
    return {document(), previewSizes(exported), icon && choice.sharp, k};
}

void EditorForm::updatePreview() {
    previewer->update();
}

EditorForm::~EditorForm() {
    saveStyle();
}

// --- construction -------------------------------------------------------------------------------

void EditorForm::buildLayouts() {
    FormLayout::build(*ui, this, preview);
    FormLayout::explain(*ui);
    FormLayout::orderTabs(*ui);
    pictures->showControls(false);
    isSlotEnabled = true;
}

void EditorForm::initControls() {
    // The by-name connections already exist: the first item of each list runs its slot with
    // index 0, which gives the canvas its first size.
    const std::pair<QComboBox*, QStringList> lists[] = {
        {ui->shapeComboBox, {tr("Rectangle"), tr("Rounded Rectangle"), tr("Circle")}},
        {ui->backStyleComboBox, {tr("Solid"), tr("Gradient")}},
        {ui->backOrientationComboBox,
         {tr("Top - Down"), tr("Down - Top"), tr("Left - Right"), tr("Right - Left"),
          tr("TopLeft - DownRight"), tr("TopRight - DownLeft"), tr("DownLeft - TopRight"),
          tr("DownRight - TopLeft")}},
        {ui->badgeOrientationComboBox, {tr("Diagonal"), tr("Horizontal")}},
        {ui->outputComboBox,
         {tr("Windows"), tr("PNG Files"), tr("macOS (.icns)"), tr("Linux icon theme")}},
        {ui->canvasSizeComboBox, {tr("256x256"), tr("512x512"), tr("1024x1024")}},
    };
    for (const auto& [list, items] : lists) {
        for (const QString& item : items)
            list->addItem(item);
    }
    ui->badgeTextLineEdit->setMaxLength(badgeTextMaxLength);
    ui->tempLabel->hide();
    ui->tempLabel2->hide();
    pictures->disableButtons();
    ui->widget->setAcceptDrops(true);
    ui->listWidget->setAcceptDrops(true);
    ui->listWidget->setDragEnabled(true);
    ui->listWidget->setDragDropMode(QAbstractItemView::InternalMove);
    ui->listWidget->setDefaultDropAction(Qt::MoveAction);
    ui->tabWidget->setCurrentIndex(0);
    connectSignals();
}

void EditorForm::connectSignals() {
    CanvasWidget* canvas = ui->widget;
    connect(canvas, &CanvasWidget::addItem, this, &EditorForm::on_AddItem);
    connect(canvas, &CanvasWidget::itemSelected, this, &EditorForm::on_ItemSelected);
    connect(canvas, &CanvasWidget::addURLs, this, &EditorForm::on_AddURLs);
    connect(canvas, &CanvasWidget::itemMoved, this, &EditorForm::on_itemMoved);
    connect(canvas, &CanvasWidget::itemScaled, this, &EditorForm::on_itemScaled);
    connect(canvas, &CanvasWidget::itemRotated, this, &EditorForm::on_itemRotated);
    connect(ui->backColor1Widget, &ColorSwatch::colorUpdated, this, &EditorForm::on_ColorUpdated1);
    connect(ui->backColor2Widget, &ColorSwatch::colorUpdated, this, &EditorForm::on_ColorUpdated2);
    connect(ui->borderColorWidget, &ColorSwatch::colorUpdated, this,
            &EditorForm::on_BorderColorUpdated);
    connect(ui->badgeTextColorWidget, &ColorSwatch::colorUpdated, this,
            &EditorForm::on_BadgeTextColorUpdated);
    connect(ui->badgeBackColorWidget, &ColorSwatch::colorUpdated, this,
            &EditorForm::on_BadgeBackColorUpdated);
    connect(ui->badgeBorderColorWidget, &ColorSwatch::colorUpdated, this,
            &EditorForm::on_BadgeBorderColorUpdated);
    connect(ui->listWidget, &QListWidget::itemSelectionChanged, this,
            &EditorForm::on_ListWidget_itemSelectionChanged);
    connect(ui->listWidget, &LayerListWidget::itemMoved, this,
            &EditorForm::on_ListWidget_itemMoved);
    connect(ui->listWidget, &LayerListWidget::moveRequested, this,
            &EditorForm::on_ListWidget_moveRequested);
}

// Every control and canvas signal that can change the document tells the history, which looks
// once the action is over; signals that changed nothing add no step.
void EditorForm::connectHistory() {
    EditedDocument* h = history;
    for (QComboBox* box : findChildren<QComboBox*>()) {
        if (box != ui->outputComboBox)
            connect(box, &QComboBox::currentIndexChanged, h, &EditedDocument::changed);
    }
    for (QSpinBox* box : findChildren<QSpinBox*>())
        connect(box, &QSpinBox::valueChanged, h, &EditedDocument::changed);
    for (QAbstractButton* button : findChildren<QAbstractButton*>())
        connect(button, &QAbstractButton::clicked, h, &EditedDocument::changed);
    for (ColorSwatch* swatch : findChildren<ColorSwatch*>())
        connect(swatch, &ColorSwatch::colorUpdated, h, &EditedDocument::changed);
    connect(ui->badgeTextLineEdit, &QLineEdit::textChanged, h, &EditedDocument::changed);
    CanvasWidget* canvas = ui->widget;
    connect(canvas, &CanvasWidget::addItem, h, &EditedDocument::changed);
    connect(canvas, &CanvasWidget::itemSelected, h, &EditedDocument::changed);
    connect(canvas, &CanvasWidget::itemScaled, h, &EditedDocument::changed);
    connect(canvas, &CanvasWidget::itemRotated, h, &EditedDocument::changed);
    connect(canvas, &CanvasWidget::dragFinished, h, &EditedDocument::changed);
    connect(canvas, &CanvasWidget::projectDropped, this, &EditorForm::projectDropped);
    connect(canvas, &CanvasWidget::deleteRequested, this, &EditorForm::deleteSelectedPicture);
    connect(canvas, &CanvasWidget::picturesRefused, this, [this](const QStringList& refused) {
        emit told(
            refused.size() == 1
                ? tr("Not added: %1").arg(refused.first())
                : tr("%1 files not added; the first: %2").arg(refused.size()).arg(refused.first()));
    });
    connect(ui->listWidget, &LayerListWidget::itemMoved, h, &EditedDocument::changed);
    connect(ui->listWidget, &LayerListWidget::moveRequested, h, &EditedDocument::changed);
}

QUndoStack* EditorForm::undoStack() {
    return history->stack();
}

Document EditorForm::document() const {
    return {iconStyle, LImageData, ui->widget->getSelectIndex()};
}

void EditorForm::showDocument(const Document& document) {
    // Every control pushed would repaint the canvas; it is painted once, at the end.
    ui->widget->setUpdatesEnabled(false);
    iconStyle = document.style;
    LImageData = document.layers;
    style->show();
    // Pushing the text size into the controls gives the font that size; the document's font may
    // carry another (a family picked since), and must come back as it was, in the font box too.
    ui->badgeFontComboBox->setCurrentFont(document.style.badgeTextFont);
    iconStyle = document.style;
    style->measureBadgeText();
    pictures->fill();
    if (document.selected >= 0 && document.selected < LImageData.size()) {
        ui->widget->selectByName(LocalGlobal::imageName(LImageData.at(document.selected).index));
    } else {
        ui->widget->selectByName(QStringLiteral("-1"));
        pictures->showControls(false);
    }
    ui->widget->setUpdatesEnabled(true);
    ui->widget->updateData();
}

Project EditorForm::project() const {
    Project project{document(), ui->outputComboBox->currentIndex(), {}};
    project.document.selected = -1;
    project.exportSizes = ResolutionList::storedSizes();
    const IconSizeChoice icon = IconSizes::stored();
    project.iconSizes = icon.sizes;
    project.sharpSizes = icon.sharp;
    return project;
}

void EditorForm::openProject(const Project& project) {
    showDocument(project.document);
    ui->outputComboBox->setCurrentIndex(project.output);
    QStringList rows;
    for (int size : project.exportSizes)
        rows << ResolutionList::rowText(size);
    // The export dialogs start from the project's sizes.
    ResolutionList::storeRows(rows);
    IconSizes::store({project.iconSizes, project.sharpSizes});
    history->reset();
    updatePreview();
}

void EditorForm::newProject() {
    showDocument(Document());
    history->reset();
}

void EditorForm::exportIcon() {
    on_goButton_clicked();
}

void EditorForm::chooseIconSizes() {
    auto* dialog = new IconSizesDialog(ui->widget->getSizeIndex(), this);
    if (dialog->exec() == QDialog::Accepted)
        updatePreview();
}

void EditorForm::deleteSelectedPicture() {
    if (ui->listWidget->selectedItems().isEmpty())
        return;
    on_deleteToolButton_clicked();
    // The history hears of the button's clicks by itself, not of a Delete key or menu entry.
    history->changed();
}

void EditorForm::loadStyle() {
    StyleStore::loadStyle(iconStyle);
}

void EditorForm::saveStyle() {
    // The canvas size is taken from its control, the one place the user chose it.
    IconStyle style = iconStyle;
    style.canvasSizeIndex = ui->canvasSizeComboBox->currentIndex() + 1;
    StyleStore::saveStyle(style);
}

void EditorForm::applyColor(ColorSwatch* swatch, QColor IconStyle::*field, const QColor& color) {
    style->showSwatch(swatch, color);
    iconStyle.*field = color;
    ui->widget->updateData();
}

void EditorForm::applyBadgeFont(const QFont& font) {
    iconStyle.badgeTextFont = font;
    iconStyle.badgeTextFont.setWeight(QFont::Bold);
    style->measureBadgeText();
    ui->widget->updateData();
}

// --- style slots --------------------------------------------------------------------------------

void EditorForm::on_shapeComboBox_currentIndexChanged(int) {
    iconStyle.shape = ui->shapeComboBox->currentIndex();
    StyleControls::showWidgets({ui->radiusLabel, ui->radiusSpinBox}, iconStyle.shape == 1);
    ui->widget->updateData();
}

void EditorForm::on_radiusSpinBox_valueChanged(int) {
    iconStyle.radius = ui->radiusSpinBox->value();
    ui->widget->updateData();
}

void EditorForm::on_backStyleComboBox_currentIndexChanged(int) {
    iconStyle.backStyle = ui->backStyleComboBox->currentIndex();
    style->showGradientControls(iconStyle.backStyle);
    ui->widget->updateData();
}

void EditorForm::on_ColorUpdated1(QColor color) {
    applyColor(ui->backColor1Widget, &IconStyle::backColor1, color);
}

void EditorForm::on_ColorUpdated2(QColor color) {
    applyColor(ui->backColor2Widget, &IconStyle::backColor2, color);
}

void EditorForm::on_backOrientationComboBox_currentIndexChanged(int) {
    iconStyle.backOrientation = ui->backOrientationComboBox->currentIndex();
    ui->widget->updateData();
}

void EditorForm::on__3dEffectCheckBox_clicked() {
    iconStyle.useBack3dEffect = ui->_3dEffectCheckBox->isChecked();
    ui->widget->updateData();
}

void EditorForm::on_backCheckBox_clicked() {
    iconStyle.useBackground = ui->backCheckBox->isChecked();
    ui->backGroupBox->setVisible(iconStyle.useBackground);
    ui->widget->updateData();
}

void EditorForm::on_borderCheckBox_clicked() {
    iconStyle.useBorder = ui->borderCheckBox->isChecked();
    ui->borderGroupBox->setVisible(iconStyle.useBorder);
    ui->widget->updateData();
}

void EditorForm::on_BorderColorUpdated(QColor color) {
    applyColor(ui->borderColorWidget, &IconStyle::borderColor, color);
}

void EditorForm::on_borderWidthSpinBox_valueChanged(int) {
    iconStyle.borderWidth = ui->borderWidthSpinBox->value();
    ui->widget->updateData();
}

void EditorForm::on_glossyCheckBox_clicked() {
    iconStyle.useGlossy = ui->glossyCheckBox->isChecked();
    ui->widget->updateData();
}

void EditorForm::on_badgeCheckBox_clicked() {
    ui->badgeGroupBox->setVisible(ui->badgeCheckBox->isChecked());
    iconStyle.useBadge = ui->badgeCheckBox->isChecked();
    ui->widget->updateData();
}

void EditorForm::on_badgeTextSizeSpinBox_valueChanged(int) {
    iconStyle.badgeTextSize = ui->badgeTextSizeSpinBox->value();
    QFont font = iconStyle.badgeTextFont;
    StyleControls::setTextPixelSize(font, iconStyle.badgeTextSize);
    applyBadgeFont(font);
}

void EditorForm::on_badgeLineWidthSpinBox_valueChanged(int) {
    iconStyle.badgeLineWidth = ui->badgeLineWidthSpinBox->value();
    ui->widget->updateData();
}

void EditorForm::on_BadgeBackColorUpdated(QColor color) {
    applyColor(ui->badgeBackColorWidget, &IconStyle::badgeBackColor, color);
}

void EditorForm::on_BadgeBorderColorUpdated(QColor color) {
    applyColor(ui->badgeBorderColorWidget, &IconStyle::badgeBorderColor, color);
}

void EditorForm::on_badgeTextLineEdit_textChanged(QString) {
    iconStyle.badgeText = ui->badgeTextLineEdit->text();
    style->measureBadgeText();
    ui->widget->updateData();
}

// The font box hands back the family just picked with the other attributes of the font it was
// last given, so the pixel size of that font comes back until the text size changes again.
void EditorForm::on_badgeFontComboBox_currentFontChanged(QFont) {
    applyBadgeFont(ui->badgeFontComboBox->currentFont());
}

void EditorForm::on_BadgeTextColorUpdated(QColor color) {
    applyColor(ui->badgeTextColorWidget, &IconStyle::badgeTextColor, color);
}

void EditorForm::on_badgePositionComboBox_currentIndexChanged(int) {
    if (!isSlotEnabled)
        return;
    const int position = ui->badgePositionComboBox->currentIndex();
    if (iconStyle.badgeOrientation == 0)
        iconStyle.badgeOrientationDiagonal = position;
    else
        iconStyle.badgeOrientationHorizontal = position;
    ui->widget->updateData();
}

void EditorForm::on_badgeOrientationComboBox_currentIndexChanged(int) {
    iconStyle.badgeOrientation = ui->badgeOrientationComboBox->currentIndex();
    style->fillBadgePositions(iconStyle.badgeOrientation);
    ui->widget->updateData();
}

void EditorForm::on_canvasSizeComboBox_currentIndexChanged(int) {
    const int sizeIndex = ui->canvasSizeComboBox->currentIndex() + 1;
    ui->widget->setSizeIndex(sizeIndex);
    iconStyle.canvasSizeIndex = sizeIndex;
}

void EditorForm::on_clipImageCheckBox_clicked() {
    iconStyle.clipImage = ui->clipImageCheckBox->isChecked();
    ui->widget->updateData();
}

// --- picture list and Selected Object page ------------------------------------------------------

void EditorForm::on_AddItem(int imageDataIndex, QImage image) {
    pictures->addRow(imageDataIndex, image);
}

void EditorForm::on_ItemSelected(int imageDataIndex) {
    pictures->showSelected(imageDataIndex);
}

void EditorForm::on_itemMoved(int imageDataIndex) {
    pictures->showPosition(imageDataIndex);
}

void EditorForm::on_itemScaled(int imageDataIndex) {
    pictures->showScale(imageDataIndex);
}

void EditorForm::on_itemRotated(int imageDataIndex) {
    pictures->showRotation(imageDataIndex);
}

void EditorForm::on_AddURLs(QStringList) {
    qCDebug(lcForm) << "on_AddURLs";
}

void EditorForm::on_ListWidget_itemSelectionChanged() {
    pictures->selectionChanged();
}

void EditorForm::on_upToolButton_clicked() {
    pictures->moveSelectedUp();
}

void EditorForm::on_downToolButton_clicked() {
    pictures->moveSelectedDown();
}

void EditorForm::on_deleteToolButton_clicked() {
    pictures->deleteSelected();
}

void EditorForm::on_ListWidget_itemMoved(int oldPos, int newPos) {
    pictures->rowMoved(oldPos, newPos);
}

void EditorForm::on_ListWidget_moveRequested(int oldPos, int newPos) {
    pictures->moveRowTo(oldPos, newPos);
}

void EditorForm::on_positionXSpinBox_valueChanged(int) {
    if (!isSlotEnabled)
        return;
    ui->widget->setSelectedPosition(ui->positionXSpinBox->value(), ui->positionYSpinBox->value());
}

void EditorForm::on_positionYSpinBox_valueChanged(int) {
    if (!isSlotEnabled)
        return;
    ui->widget->setSelectedPosition(ui->positionXSpinBox->value(), ui->positionYSpinBox->value());
}

void EditorForm::on_sizeSpinBox_valueChanged(int) {
    if (!isSlotEnabled)
        return;
    ui->widget->setSelectedScale(ui->sizeSpinBox->value());
}

void EditorForm::on_rotateSpinBox_valueChanged(int) {
    if (!isSlotEnabled)
        return;
    ui->widget->setSelectedRotation(ui->rotateSpinBox->value());
}

// --- output, About and the promotional dialog: filled in by their own subsystems ----------------

void EditorForm::on_goButton_clicked() {
    const int output = ui->outputComboBox->currentIndex();
    if (output == 0) {
        const QString fileName = OutputFlow::askIconFileName(this);
        if (!fileName.isEmpty())
            writeIcoFile(fileName);
        return;
    }
    if (output >= 2) {
        writeOtherTarget(output);
        return;
    }
    auto* dialog = new ExportPNGDialog(this);
    connect(dialog, &ExportPNGDialog::exportImages, this, &EditorForm::on_exportImages);
    dialog->exec();
}

// The macOS icon file, or the Linux icon theme tree under the chosen folder named after the
// chosen name; the same writers the command line uses.
void EditorForm::writeOtherTarget(int output) {
    const bool icns = output == 2;
    const QString path = OutputFlow::askFileName(
        this, icns ? tr("Create macOS Icon File") : tr("Create Linux Icon Theme"),
        icns ? tr("macOS icon file (*.icns)") : tr("Icon name (*)"), icns ? "icns" : "");
    if (path.isEmpty())
        return;
    QImage rendering;
    ui->widget->renderIcon(rendering);
    const QFileInfo target(path);
    OutputFailures failures;
    if (icns) {
        if (const std::optional<OutputFailure> failure = IcnsWriter::write(path, rendering))
            failures << *failure;
    } else {
        failures = IconThemeWriter::write(target.path(), target.completeBaseName(), rendering);
    }
    OutputFlow::reportFailures(this, failures);
    if (failures.isEmpty())
        emit told(icns ? tr("Wrote %1").arg(target.fileName())
                       : tr("Wrote the icon theme %1 under %2")
                             .arg(target.completeBaseName(),
                                  QDir::toNativeSeparators(target.path() + "/hicolor")));
}

// Runs inside the export dialog's Export button, while the dialog still shows.
void EditorForm::on_exportImages(QList<int> LImageResolution) {
    QString folder;
    if (!chooseExportFolder(folder))
        return;
    QImage rendering;
    ui->widget->renderIcon(rendering);
    exportImageList = pendingPngs(folder, LImageResolution, rendering);
    if (OutputFlow::mayReplace(this, exportImageList))
        writePngFiles();
}

void EditorForm::on_aboutButton_clicked() {
    emit aboutRequested();
}

void EditorForm::on_websiteButton_clicked() {
    emit websiteRequested();
}

void EditorForm::on_otherAppsButton_clicked() {
    emit otherAppsRequested();
}

bool EditorForm::chooseExportFolder(QString& folder) {
    return OutputFlow::chooseExportFolder(folder);
}

// The entries the user chose (by default 16, 32, 48 and the large ones of the canvas size).
void EditorForm::writeIcoFile(QString fileName) {
    QImage rendering;
    ui->widget->renderIcon(rendering);
    const int k = ui->widget->getSizeIndex();
    const IconSizeChoice choice = IconSizes::stored();
    const QList<int> sizes = IconSizes::entrySizes(choice, rendering.width(), k);
    const QList<QImage> entries =
        iconEntryImages(rendering, sizes, choice.sharp, iconStyle, LImageData, k);
    if (const std::optional<OutputFailure> failure = writeIconEntries(fileName, entries)) {
        OutputFlow::reportFailures(this, {*failure});
        return;
    }
    QStringList written;
    for (int size : sizes)
        written << QString::number(size);
    emit told(tr("Wrote %1: %2").arg(QFileInfo(fileName).fileName(), written.join(", ")));
}

void EditorForm::writePngFiles() {
    const OutputFailures failures = writePngImages(exportImageList);
    OutputFlow::reportFailures(this, failures);
    const int written = int(exportImageList.size() - failures.size());
    if (written > 0) {
        const QString folder = QFileInfo(exportImageList.constFirst().fileName).path();
        emit told(tr("Wrote %n PNG file(s) to %1", nullptr, written)
                      .arg(QDir::toNativeSeparators(folder)));
    }
}
