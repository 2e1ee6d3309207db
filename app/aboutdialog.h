#pragma once

#include <QDialog>

namespace Ui {
class AboutDialog;
}

// The product's name, version and logo, the supported systems and a link to the maker's website.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent);
    ~AboutDialog() override;

private Q_SLOTS:
    void on_closeButton_clicked();

private:
    Ui::AboutDialog* ui;

    void showWebsiteLink();
};
