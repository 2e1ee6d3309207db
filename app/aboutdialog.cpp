#include "aboutdialog.h"
#include "ui_aboutdialog.h"

#include "makerlinks.h"

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent), ui(new Ui::AboutDialog) {
    ui->setupUi(this);
    ui->versionLabel->setText(tr("Version: %1").arg(QStringLiteral(GLIMMERDOCK_VERSION)));
    ui->nameLabel->adjustSize();
    showWebsiteLink();
    // Closed by Escape or the title bar the dialog would only hide, and each About click makes a
    // new one: let every ending free it.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);
}

AboutDialog::~AboutDialog() {
    delete ui;
}

void AboutDialog::on_closeButton_clicked() {
    deleteLater();
}

void AboutDialog::showWebsiteLink() {
    ui->webLabel->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(QString::fromWCharArray(MakerLinks::website),
                                   QString::fromWCharArray(MakerLinks::websiteName)));
    ui->webLabel->setTextFormat(Qt::RichText);
    ui->webLabel->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse |
                                          Qt::LinksAccessibleByKeyboard);
    ui->webLabel->setOpenExternalLinks(true);
}
