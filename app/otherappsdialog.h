#pragma once

#include <QDialog>

namespace Ui {
class OtherAppsDialog;
}

// Advertises the maker's performance tool, with links to its product and order pages. Reads no
// settings and writes no files.
class OtherAppsDialog : public QDialog {
    Q_OBJECT

public:
    explicit OtherAppsDialog(QWidget* parent);
    ~OtherAppsDialog() override;

private Q_SLOTS:
    void on_productButton_clicked();
    void on_orderButton_clicked();
    void on_closeButton_clicked();

private:
    Ui::OtherAppsDialog* ui;
};
