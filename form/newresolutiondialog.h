#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class NewResolutionDialog;
}

// Asks for one square edge length to add to the export list.
class NewResolutionDialog : public QDialog {
    Q_OBJECT

public:
    explicit NewResolutionDialog(QWidget* parent = nullptr);
    ~NewResolutionDialog() override;

    // Edge lengths the spin box offers; 1 to 1024 unless set.
    void setSizeRange(int smallest, int largest);

Q_SIGNALS:
    void newResolution(int size);

private Q_SLOTS:
    void on_cancelButton_clicked();
    void on_spinBox_valueChanged(int arg1);
    void on_addButton_clicked();

private:
    std::unique_ptr<Ui::NewResolutionDialog> ui;
};
