#include "editorform.h"
#include "ui_editorform.h"

#include "document/editeddocument.h"
#include "document/stylestore.h"
#include "form/exportflow.h"
#include "form/formlayout.h"
#include "form/picturelist.h"
#include "form/sizepreview.h"
#include "form/stylecontrols.h"
#include "output/exporttargets.h"
#include "output/iconsizes.h"
#include "output/resolutionlist.h"
#include "picture/pictureintake.h"
#include "render/badgetext.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

EditorForm::EditorForm(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::EditorForm>()) {
    ui->setupUi(this);
    edited = new EditedDocument(this);
    pictures = std::make_unique<PictureList>(*ui, *edited, slotsEnabled);
    style = std::make_unique<StyleControls>(*ui, slotsEnabled);
    preview = new SizePreview(this);
    FormLayout::build(*ui, this, preview);
    FormLayout::explain(*ui);
    FormLayout::orderTabs(*ui);
    initControls();
    previewer = new PreviewScheduler(
        preview, [this] { return previewRequest(); }, this);
    appleGrid = new QAction(tr("macOS Icons on the &Grid"), this);
    appleGrid->setCheckable(true);
    appleGrid->setToolTip(tr("The macOS icon and the catalog's macOS sizes with their body at "
                             "824 of 1024 pixels and a soft shadow, as the system's own icons"));
    ui->canvas->setDocument(edited);
    connectSignals();
    newDocument();
    slotsEnabled = true;
}

// A new document starts in the style the user last worked with.
EditorForm::~EditorForm() {
    StyleStore::saveStyle(edited->document().style);
}

Document EditorForm::startDocument() {
    Document start;
    StyleStore::loadStyle(start.style);
    // The badge is drawn at its text size, however the stored font was sized.
    StyleControls::setTextPixelSize(start.style.badgeTextFont, start.style.badgeTextSize);
    start.style.badgeTextFont.setWeight(QFont::Bold);
    BadgeText::measure(start.style);
    const IconSizeChoice icon = IconSizes::stored();
    start.output.iconSizes = icon.sizes;
    start.output.sharpSizes = icon.sharp;
    start.output.pngSizes = ResolutionList::storedSizes();
    return start;
}

void EditorForm::initControls() {
    const std::pair<QComboBox*, QStringList> lists[] = {
        {ui->shapeComboBox, {tr("Rectangle"), tr("Rounded Rectangle"), tr("Circle")}},
        {ui->backStyleComboBox, {tr("Solid"), tr("Gradient")}},
        {ui->backOrientationComboBox,
         {tr("Top - Down"), tr("Down - Top"), tr("Left - Right"), tr("Right - Left"),
          tr("TopLeft - DownRight"), tr("TopRight - DownLeft"), tr("DownLeft - TopRight"),
          tr("DownRight - TopLeft")}},
        {ui->badgeOrientationComboBox, {tr("Diagonal"), tr("Horizontal")}},
        {ui->canvasSizeComboBox, {tr("256x256"), tr("512x512"), tr("1024x1024")}},
    };
    for (const auto& [list, items] : lists)
        list->addItems(items);
    QStringList titles;
    for (const ExportTarget* target : ExportTargets::all())
        titles << target->title();
    ui->outputComboBox->addItems(titles);
    ui->outputComboBox->setToolTip(tr("What Go writes: %1").arg(titles.join(QStringLiteral(", "))));
    ui->badgeTextLineEdit->setMaxLength(badgeTextMaxLength);
    ui->canvas->setAcceptDrops(true);
    ui->listWidget->setAcceptDrops(true);
    ui->listWidget->setDragEnabled(true);
    ui->listWidget->setDragDropMode(QAbstractItemView::InternalMove);
    ui->listWidget->setDefaultDropAction(Qt::MoveAction);
    ui->tabWidget->setCurrentIndex(0);
}

// Undo and redo in a text or number field are the document's, as everywhere in the window: the
// field's own would make its undoing a new step and lose what could be redone.
bool EditorForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
            key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y))
            return true; // not accepted: the window's shortcut takes the key
    }
    return QWidget::eventFilter(watched, event);
}

void EditorForm::connectSignals() {
    for (QLineEdit* field : findChildren<QLineEdit*>())
        field->installEventFilter(this);
    connect(edited, &EditedDocument::changed, this, &EditorForm::showDocument);
    // Triggered only by the user: showing the document checks it without a signal.
    connect(appleGrid, &QAction::triggered, this, [this](bool on) {
        edited->edit(tr("macOS Grid"), [on](Document& d) { d.output.appleGrid = on; });
    });
    const std::pair<ColorSwatch*, QColor IconStyle::*> swatches[] = {
        {ui->backColor1Widget, &IconStyle::backColor1},
        {ui->backColor2Widget, &IconStyle::backColor2},
        {ui->borderColorWidget, &IconStyle::borderColor},
        {ui->badgeTextColorWidget, &IconStyle::badgeTextColor},
        {ui->badgeBackColorWidget, &IconStyle::badgeBackColor},
        {ui->badgeBorderColorWidget, &IconStyle::badgeBorderColor},
    };
    for (const auto& [swatch, field] : swatches) {
        connect(swatch, &ColorSwatch::colorUpdated, this,
                [this, member = field](const QColor& color) {
                    editStyle(tr("Colour"), QString(),
                              [member, color](IconStyle& s) { s.*member = color; });
                });
    }
    connect(ui->listWidget, &QListWidget::itemSelectionChanged, this,
            [this] { pictures->selectionChanged(); });
    connect(ui->listWidget, &LayerListWidget::moveRequested, this,
            [this](int from, int to) { pictures->moveRow(from, to); });
    CanvasWidget* canvas = ui->canvas;
    connect(canvas, &CanvasWidget::projectDropped, this, &EditorForm::projectDropped);
    connect(canvas, &CanvasWidget::reading, this, &EditorForm::reading);
    connect(canvas, &CanvasWidget::picturesRefused, this, [this](const QStringList& refused) {
        emit told(
            refused.size() == 1
                ? tr("Not added: %1").arg(refused.first())
                : tr("%1 files not added; the first: %2").arg(refused.size()).arg(refused.first()));
    });
}

QUndoStack* EditorForm::undoStack() {
    return edited->undoStack();
}

const Document& EditorForm::document() const {
    return edited->document();
}

// The one path from the document to the screen.
void EditorForm::showDocument() {
    const Document& document = edited->document();
    style->show(document.style);
    // Shown like any control; the edit it makes changes nothing, so it makes no step.
    ui->outputComboBox->setCurrentIndex(
        int(ExportTargets::all().indexOf(&ExportTargets::of(document.output))));
    appleGrid->setChecked(document.output.appleGrid);
    pictures->show(document);
    previewer->schedule();
}

// The export's sizes drawn as the writer draws them.
PreviewScheduler::Request EditorForm::previewRequest() const {
    const Document& document = edited->document();
    const ExportTarget& target = ExportTargets::of(document.output);
    return {document, previewSizes(target.sizes(document)), target.drawsSharp(document),
            document.style.canvasFactor};
}

void EditorForm::openDocument(const Document& document) {
    Document opened = document;
    // The measurements a project does not keep.
    BadgeText::measure(opened.style);
    edited->reset(opened);
    previewer->update();
}

void EditorForm::newDocument() {
    edited->reset(startDocument());
}

void EditorForm::exportIcon() {
    on_goButton_clicked();
}

void EditorForm::chooseIconSizes() {
    ExportFlow(this, *edited).chooseIconSizes();
}

void EditorForm::addPictures() {
    QStringList patterns;
    for (const QString& suffix : PictureIntake::acceptedSuffixes())
        patterns << QStringLiteral("*.") + suffix;
    const QStringList files =
        QFileDialog::getOpenFileNames(this, tr("Add Pictures"), QString(),
                                      tr("Pictures (%1)").arg(patterns.join(QLatin1Char(' '))));
    if (!files.isEmpty())
        ui->canvas->addFiles(files, QPoint(150, 150));
}

void EditorForm::paste() {
    ui->canvas->paste(QGuiApplication::clipboard()->mimeData());
}

void EditorForm::deleteSelectedPicture() {
    pictures->deleteSelected();
}

// --- edits --------------------------------------------------------------------------------------

void EditorForm::editStyle(const QString& name, const QString& key,
                           const std::function<void(IconStyle&)>& change) {
    if (!slotsEnabled)
        return;
    edited->edit(
        name, [&change](Document& d) { change(d.style); },
        key.isEmpty() ? QString() : QStringLiteral("style:") + key);
}

void EditorForm::on_shapeComboBox_currentIndexChanged(int index) {
    editStyle(tr("Shape"), QString(), [index](IconStyle& s) { s.shape = index; });
}

void EditorForm::on_radiusSpinBox_valueChanged(int value) {
    editStyle(tr("Radius"), QStringLiteral("radius"), [value](IconStyle& s) { s.radius = value; });
}

void EditorForm::on_backStyleComboBox_currentIndexChanged(int index) {
    editStyle(tr("Background Style"), QString(), [index](IconStyle& s) { s.backStyle = index; });
}

void EditorForm::on_backOrientationComboBox_currentIndexChanged(int index) {
    editStyle(tr("Gradient Direction"), QString(),
              [index](IconStyle& s) { s.backOrientation = index; });
}

void EditorForm::on__3dEffectCheckBox_clicked() {
    const bool on = ui->_3dEffectCheckBox->isChecked();
    editStyle(tr("3D Effect"), QString(), [on](IconStyle& s) { s.useBack3dEffect = on; });
}

void EditorForm::on_backCheckBox_clicked() {
    const bool on = ui->backCheckBox->isChecked();
    editStyle(tr("Background"), QString(), [on](IconStyle& s) { s.useBackground = on; });
}

void EditorForm::on_borderCheckBox_clicked() {
    const bool on = ui->borderCheckBox->isChecked();
    editStyle(tr("Border"), QString(), [on](IconStyle& s) { s.useBorder = on; });
}

void EditorForm::on_borderWidthSpinBox_valueChanged(int value) {
    editStyle(tr("Border Width"), QStringLiteral("borderWidth"),
              [value](IconStyle& s) { s.borderWidth = value; });
}

void EditorForm::on_glossyCheckBox_clicked() {
    const bool on = ui->glossyCheckBox->isChecked();
    editStyle(tr("Glossy"), QString(), [on](IconStyle& s) { s.useGlossy = on; });
}

void EditorForm::on_badgeCheckBox_clicked() {
    const bool on = ui->badgeCheckBox->isChecked();
    editStyle(tr("Badge"), QString(), [on](IconStyle& s) { s.useBadge = on; });
}

void EditorForm::on_badgeTextSizeSpinBox_valueChanged(int value) {
    editStyle(tr("Badge Text Size"), QStringLiteral("badgeTextSize"), [value](IconStyle& s) {
        s.badgeTextSize = value;
        StyleControls::setTextPixelSize(s.badgeTextFont, value);
        s.badgeTextFont.setWeight(QFont::Bold);
        BadgeText::measure(s);
    });
}

void EditorForm::on_badgeLineWidthSpinBox_valueChanged(int value) {
    editStyle(tr("Badge Line Width"), QStringLiteral("badgeLineWidth"),
              [value](IconStyle& s) { s.badgeLineWidth = value; });
}

void EditorForm::on_badgeTextLineEdit_textChanged(const QString& text) {
    editStyle(tr("Badge Text"), QStringLiteral("badgeText"), [&text](IconStyle& s) {
        s.badgeText = text;
        BadgeText::measure(s);
    });
}

// The font box hands back the family just picked with the other attributes of the font it was
// last given, so the pixel size of that font comes back until the text size changes again.
void EditorForm::on_badgeFontComboBox_currentFontChanged(const QFont& font) {
    editStyle(tr("Badge Font"), QString(), [&font](IconStyle& s) {
        s.badgeTextFont = font;
        s.badgeTextFont.setWeight(QFont::Bold);
        BadgeText::measure(s);
    });
}

void EditorForm::on_badgePositionComboBox_currentIndexChanged(int index) {
    editStyle(tr("Badge Position"), QString(), [index](IconStyle& s) {
        if (s.badgeOrientation == 0)
            s.badgeOrientationDiagonal = index;
        else
            s.badgeOrientationHorizontal = index;
    });
}

void EditorForm::on_badgeOrientationComboBox_currentIndexChanged(int index) {
    editStyle(tr("Badge Orientation"), QString(),
              [index](IconStyle& s) { s.badgeOrientation = index; });
}

void EditorForm::on_canvasSizeComboBox_currentIndexChanged(int index) {
    editStyle(tr("Canvas Size"), QString(), [index](IconStyle& s) { s.canvasFactor = index + 1; });
}

void EditorForm::on_clipImageCheckBox_clicked() {
    const bool on = ui->clipImageCheckBox->isChecked();
    editStyle(tr("Clip Pictures"), QString(), [on](IconStyle& s) { s.clipImage = on; });
}

void EditorForm::on_outputComboBox_currentIndexChanged(int index) {
    if (slotsEnabled && index >= 0)
        edited->edit(tr("Output"), [key = ExportTargets::at(index).key()](Document& d) {
            d.output.target = key;
        });
}

// --- picture list and Selected Object page ------------------------------------------------------

void EditorForm::on_upToolButton_clicked() {
    pictures->moveSelectedUp();
}

void EditorForm::on_downToolButton_clicked() {
    pictures->moveSelectedDown();
}

void EditorForm::on_deleteToolButton_clicked() {
    pictures->deleteSelected();
}

void EditorForm::on_positionXSpinBox_valueChanged(int) {
    pictures->positionEdited();
}

void EditorForm::on_positionYSpinBox_valueChanged(int) {
    pictures->positionEdited();
}

void EditorForm::on_sizeSpinBox_valueChanged(int) {
    pictures->scaleEdited();
}

void EditorForm::on_rotateSpinBox_valueChanged(int) {
    pictures->rotationEdited();
}

// --- output and the window's own buttons --------------------------------------------------------

void EditorForm::on_goButton_clicked() {
    const QString message =
        ExportFlow(this, *edited).run(ExportTargets::of(edited->document().output));
    if (!message.isEmpty())
        emit told(message);
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
