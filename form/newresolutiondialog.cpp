#include "newresolutiondialog.h"

#include "ui_newresolutiondialog.h"

NewResolutionDialog::NewResolutionDialog(QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::NewResolutionDialog>()) {
    ui->setupUi(this);
    // However the dialog ends (its buttons, Escape, the close button), it goes away with it.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
    ui->spinBox->setValue(128);
}

NewResolutionDialog::~NewResolutionDialog() = default;

void NewResolutionDialog::setSizeRange(int smallest, int largest) {
    ui->spinBox->setRange(smallest, largest);
}

void NewResolutionDialog::on_cancelButton_clicked() {
    reject();
}

void NewResolutionDialog::on_spinBox_valueChanged(int arg1) {
    ui->pixelLabel->setText(QStringLiteral("x") + QString::number(arg1));
}

void NewResolutionDialog::on_addButton_clicked() {
    // A number still being typed counts, as it would after leaving the field.
    ui->spinBox->interpretText();
    emit newResolution(ui->spinBox->value());
    accept();
}
