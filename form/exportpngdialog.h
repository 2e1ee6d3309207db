#pragma once

#include <QDialog>
#include <QList>

#include <memory>

namespace Ui {
class ExportPNGDialog;
}

// Keeps the list of square resolutions to export as PNG files, ascending and free of repeats,
// and hands it to the form when the user presses Export.
class ExportPNGDialog : public QDialog {
    Q_OBJECT

public:
    explicit ExportPNGDialog(QWidget* parent = nullptr);
    ~ExportPNGDialog() override;

Q_SIGNALS:
    void exportImages(QList<int> LImageResolution);

private Q_SLOTS:
    void on_cancelButton_clicked();
    void on_removeButton_clicked();
    void on_exportButton_clicked();
    void on_addButton_clicked();
    void on_newResolution(int size);

private:
    // Connected explicitly; its name does not follow the by-name rule.
    void on_ListWidget_itemSelectionChanged();
    QStringList rowTexts() const;

    std::unique_ptr<Ui::ExportPNGDialog> ui;
};
