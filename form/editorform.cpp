#include "editorform.h"
#include "ui_editorform.h"

#include "document/editeddocument.h"
#include "document/stylestore.h"
#include "document/useraction.h"
#include "form/documentexport.h"
#include "form/formlayout.h"
#include "form/iconsizesdialog.h"
#include "form/picturelist.h"
#include "form/showatchoice.h"
#include "form/sizepreview.h"
#include "form/sizerangeedit.h"
#include "form/stylecontrols.h"
#include "output/exporttargets.h"
#include "output/iconsizes.h"
#include "output/resolutionlist.h"
#include "picture/pictureintake.h"
#include "render/icongeometry.h"

#include <QAction>
#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

EditorForm::EditorForm(EditedDocument& document, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::EditorForm>()), edited(&document) {
    ui->setupUi(this);
    pictures = std::make_unique<PictureList>(*ui, *edited, slotsEnabled);
    style = std::make_unique<StyleControls>(*ui, slotsEnabled);
    preview = new SizePreview(this);
    FormLayout::build(*ui, this, preview);
    FormLayout::explain(*ui);
    FormLayout::orderTabs(*ui);
    initControls();
    previewer = new PreviewScheduler(
        preview, [this] { return edited->document(); }, this);
    appleGrid = new QAction(tr("macOS Icons on the &Grid"), this);
    appleGrid->setCheckable(true);
    appleGrid->setToolTip(tr("The macOS icon and the catalog's macOS sizes with their body at "
                             "824 of 1024 pixels and a soft shadow, as the system's own icons"));
    ui->canvas->setDocument(edited);
    showAt = std::make_unique<ShowAtChoice>(ui->showAtComboBox, ui->canvas);
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
    UserActions::fitBadgeFont(start.style.badgeTextFont, start.style.badgeTextSize);
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
    connect(appleGrid, &QAction::triggered, this,
            [this](bool on) { edited->edit(UserActions::appleGrid(on)); });
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
                    editByUser(UserActions::colour(member, color));
                });
    }
    connect(ui->sizeRangeEdit, &SizeRangeEdit::rangeEdited, this, [this](int minSize, int maxSize) {
        editByUser(UserActions::sizeRangeSelected(edited->document(), minSize, maxSize));
    });
    connect(ui->listWidget, &QListWidget::itemSelectionChanged, this,
            [this] { pictures->selectionChanged(); });
    connect(ui->listWidget, &LayerListWidget::moveRequested, this,
            [this](int from, int to) { pictures->moveRow(from, to); });
    CanvasWidget* canvas = ui->canvas;
    connect(canvas, &CanvasWidget::projectDropped, this, &EditorForm::projectDropped);
    connect(canvas, &CanvasWidget::reading, this, &EditorForm::reading);
    // Each file not taken is named with its reason: the user can act on them all at once.
    connect(canvas, &CanvasWidget::picturesRefused, this, [this](const QStringList& refused) {
        emit told(tr("Not added: %1").arg(refused.join(QStringLiteral("; "))));
    });
}

const Document& EditorForm::document() const {
    return edited->document();
}

// The one path from the document to the screen.
void EditorForm::showDocument() {
    const Document& document = edited->document();
    style->show(document.style);
    // Showing makes no edit: the slots stay quiet while the controls are set.
    const bool wereEnabled = std::exchange(slotsEnabled, false);
    ui->outputComboBox->setCurrentIndex(
        int(ExportTargets::all().indexOf(&ExportTargets::of(document.output))));
    slotsEnabled = wereEnabled;
    appleGrid->setChecked(document.output.appleGrid);
    // The pictures are drawn over the badge unless clipped: a user who turns the badge on and
    // sees nothing is told why.
    ui->badgeCoveredLabel->setVisible(
        IconGeometry::picturesCoverBadge(document.style, document.layers));
    pictures->show(document);
    showAt->show(document);
    previewer->schedule();
}

void EditorForm::openDocument(const Document& document) {
    edited->reset(document);
    previewer->update();
}

void EditorForm::newDocument() {
    edited->reset(startDocument());
}

void EditorForm::exportIcon() {
    on_goButton_clicked();
}

void EditorForm::chooseIconSizes() {
    const Document& document = edited->document();
    auto* dialog = new IconSizesDialog({document.output.iconSizes, document.output.sharpSizes},
                                       document.style.canvasFactor, this);
    if (dialog->exec() != QDialog::Accepted)
        return;
    const IconSizeChoice chosen = dialog->choice();
    // The sizes chosen last are also where the next new document starts.
    IconSizes::store(chosen);
    edited->edit(UserActions::iconSizes(chosen.sizes, chosen.sharp));
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

// A control changed by the user, not by showDocument().
void EditorForm::editByUser(const UserAction& action) {
    if (slotsEnabled)
        edited->edit(action);
}

void EditorForm::on_shapeComboBox_currentIndexChanged(int index) {
    editByUser(UserActions::shape(index));
}

void EditorForm::on_radiusSpinBox_valueChanged(int value) {
    editByUser(UserActions::radius(value));
}

void EditorForm::on_backStyleComboBox_currentIndexChanged(int index) {
    editByUser(UserActions::backgroundStyle(index));
}

void EditorForm::on_backOrientationComboBox_currentIndexChanged(int index) {
    editByUser(UserActions::gradientDirection(index));
}

void EditorForm::on_effect3dCheckBox_clicked() {
    editByUser(UserActions::effect3d(ui->effect3dCheckBox->isChecked()));
}

void EditorForm::on_backCheckBox_clicked() {
    editByUser(UserActions::background(ui->backCheckBox->isChecked()));
}

void EditorForm::on_borderCheckBox_clicked() {
    editByUser(UserActions::border(ui->borderCheckBox->isChecked()));
}

void EditorForm::on_borderWidthSpinBox_valueChanged(int value) {
    editByUser(UserActions::borderWidth(value));
}

void EditorForm::on_glossyCheckBox_clicked() {
    editByUser(UserActions::glossy(ui->glossyCheckBox->isChecked()));
}

void EditorForm::on_badgeCheckBox_clicked() {
    editByUser(UserActions::badge(ui->badgeCheckBox->isChecked()));
}

void EditorForm::on_badgeTextSizeSpinBox_valueChanged(int value) {
    editByUser(UserActions::badgeTextSize(value));
}

void EditorForm::on_badgeLineWidthSpinBox_valueChanged(int value) {
    editByUser(UserActions::badgeLineWidth(value));
}

void EditorForm::on_badgeTextLineEdit_textChanged(const QString& text) {
    editByUser(UserActions::badgeText(text));
}

void EditorForm::on_badgeFontComboBox_currentFontChanged(const QFont& font) {
    editByUser(UserActions::badgeFont(font));
}

void EditorForm::on_badgePositionComboBox_currentIndexChanged(int index) {
    editByUser(UserActions::badgePosition(index));
}

void EditorForm::on_badgeOrientationComboBox_currentIndexChanged(int index) {
    editByUser(UserActions::badgeOrientation(index));
}

void EditorForm::on_canvasSizeComboBox_currentIndexChanged(int index) {
    editByUser(UserActions::canvasSize(index));
}

void EditorForm::on_clipImageCheckBox_clicked() {
    editByUser(UserActions::clipPictures(ui->clipImageCheckBox->isChecked()));
}

void EditorForm::on_outputComboBox_currentIndexChanged(int index) {
    if (index >= 0)
        editByUser(UserActions::outputTarget(ExportTargets::at(index).key()));
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
        DocumentExport(this, *edited).run(ExportTargets::of(edited->document().output));
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
