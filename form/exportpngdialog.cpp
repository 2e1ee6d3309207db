#include "exportpngdialog.h"

#include "form/newresolutiondialog.h"
#include "output/resolutionlist.h"

#include "ui_exportpngdialog.h"

#include <QListWidgetItem>

ExportPNGDialog::ExportPNGDialog(const QList<int>& sizes, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ExportPNGDialog>()) {
    ui->setupUi(this);
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
    for (int size : sizes)
        ui->listWidget->addItem(ResolutionList::rowText(size));
    connect(ui->listWidget, &QListWidget::itemSelectionChanged, this,
            &ExportPNGDialog::enableRemove);
    enableRemove();
}

ExportPNGDialog::~ExportPNGDialog() = default;

// Add stays available even with nothing selected: otherwise an emptied list could never grow.
void ExportPNGDialog::enableRemove() {
    ui->removeButton->setEnabled(!ui->listWidget->selectedItems().isEmpty());
}

void ExportPNGDialog::on_cancelButton_clicked() {
    reject();
}

void ExportPNGDialog::on_removeButton_clicked() {
    const QList<QListWidgetItem*> selected = ui->listWidget->selectedItems();
    for (QListWidgetItem* item : selected)
        delete ui->listWidget->takeItem(ui->listWidget->row(item));
}

void ExportPNGDialog::on_exportButton_clicked() {
    QList<int> sizes;
    for (const QString& text : rowTexts()) {
        if (const std::optional<int> size = ResolutionList::rowValue(text))
            sizes << *size;
    }
    // The form asks for the folder and writes the files before this returns, with the dialog
    // still showing.
    emit exportRequested(sizes);
    accept();
}

void ExportPNGDialog::on_addButton_clicked() {
    auto* dialog = new NewResolutionDialog(this);
    connect(dialog, &NewResolutionDialog::newResolution, this, &ExportPNGDialog::addResolution);
    dialog->exec();
}

void ExportPNGDialog::addResolution(int size) {
    const std::optional<int> row = ResolutionList::insertionRow(rowTexts(), size);
    if (row)
        ui->listWidget->insertItem(*row, ResolutionList::rowText(size));
}

QStringList ExportPNGDialog::rowTexts() const {
    QStringList texts;
    for (int i = 0; i < ui->listWidget->count(); ++i)
        texts.append(ui->listWidget->item(i)->text());
    return texts;
}
