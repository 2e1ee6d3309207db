#include "iconsizesdialog.h"

#include "form/newresolutiondialog.h"
#include "output/iconsizes.h"
#include "output/icowriter.h"
#include "output/resolutionlist.h"

#include "ui_iconsizesdialog.h"

#include <QListWidgetItem>
#include <QMessageBox>

#include <optional>

IconSizesDialog::IconSizesDialog(const IconSizeChoice& choice, int canvasFactor, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::IconSizesDialog>()), canvasFactor(canvasFactor) {
    ui->setupUi(this);
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
    connect(ui->listWidget, &QListWidget::itemSelectionChanged, this,
            &IconSizesDialog::onSelectionChanged);
    if (choice.sizes.isEmpty())
        on_defaultButton_clicked();
    else
        showSizes(choice.sizes, false);
    ui->sharpCheckBox->setChecked(choice.sharp);
}

IconSizesDialog::~IconSizesDialog() = default;

void IconSizesDialog::onSelectionChanged() {
    ui->removeButton->setEnabled(!ui->listWidget->selectedItems().isEmpty());
}

void IconSizesDialog::showSizes(const QList<int>& sizes, bool isDefault) {
    ui->listWidget->clear();
    for (int size : sizes)
        ui->listWidget->addItem(ResolutionList::rowText(size));
    setShowsDefault(isDefault);
    onSelectionChanged();
}

// Any edit turns the shown defaults into a choice of its own that no longer follows the canvas.
void IconSizesDialog::setShowsDefault(bool isDefault) {
    showsDefault = isDefault;
    ui->entriesLabel->setText(isDefault ? tr("The default entries of this canvas size:")
                                        : tr("The icon file holds these entries:"));
}

void IconSizesDialog::on_addButton_clicked() {
    auto* dialog = new NewResolutionDialog(this);
    dialog->setSizeRange(IconSizes::smallest, IconSizes::largest);
    std::optional<int> chosen;
    connect(dialog, &NewResolutionDialog::newResolution, dialog,
            [&chosen](int size) { chosen = size; });
    dialog->exec();
    // Asked once the size dialog has gone, so the question stands over this list.
    if (!chosen || !confirmSize(*chosen))
        return;
    setShowsDefault(false);
    if (const std::optional<int> row = ResolutionList::insertionRow(rowTexts(), *chosen))
        ui->listWidget->insertItem(*row, ResolutionList::rowText(*chosen));
}

bool IconSizesDialog::confirmSize(int size) {
    if (size <= IconSizes::largestUsedByWindows)
        return true;
    const QString question =
        tr("Windows does not use icon entries larger than %1 x %1 px; a %2 x %2 entry only makes "
           "the file larger there. Add it all the same?")
            .arg(IconSizes::largestUsedByWindows)
            .arg(size);
    return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void IconSizesDialog::on_removeButton_clicked() {
    const QList<QListWidgetItem*> selected = ui->listWidget->selectedItems();
    for (QListWidgetItem* item : selected)
        delete ui->listWidget->takeItem(ui->listWidget->row(item));
    setShowsDefault(false);
}

void IconSizesDialog::on_windowsButton_clicked() {
    showSizes(IconSizes::windowsSet(), false);
}

void IconSizesDialog::on_defaultButton_clicked() {
    showSizes(icoEntrySizes(256 * canvasFactor), true);
}

void IconSizesDialog::on_okButton_clicked() {
    chosen = IconSizeChoice();
    if (!showsDefault)
        chosen.sizes = listedSizes();
    chosen.sharp = ui->sharpCheckBox->isChecked();
    accept();
}

void IconSizesDialog::on_cancelButton_clicked() {
    reject();
}

QStringList IconSizesDialog::rowTexts() const {
    QStringList texts;
    for (int i = 0; i < ui->listWidget->count(); ++i)
        texts.append(ui->listWidget->item(i)->text());
    return texts;
}

QList<int> IconSizesDialog::listedSizes() const {
    QList<int> sizes;
    for (const QString& text : rowTexts()) {
        if (const std::optional<int> size = ResolutionList::rowValue(text))
            sizes.append(*size);
    }
    return sizes;
}
