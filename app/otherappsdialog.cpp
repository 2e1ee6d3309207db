#include "otherappsdialog.h"
#include "ui_otherappsdialog.h"

#include "makerlinks.h"
#include "shellopen.h"

OtherAppsDialog::OtherAppsDialog(QWidget* parent) : QDialog(parent), ui(new Ui::OtherAppsDialog) {
    ui->setupUi(this);
    // Every ending frees it, not only Close: each click on the form's button makes a new one.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
}

OtherAppsDialog::~OtherAppsDialog() {
    delete ui;
}

void OtherAppsDialog::on_productButton_clicked() {
    ShellOpen::openAddress(MakerLinks::productPage);
}

void OtherAppsDialog::on_orderButton_clicked() {
    ShellOpen::openAddress(MakerLinks::orderPage);
}

void OtherAppsDialog::on_closeButton_clicked() {
    deleteLater();
}
