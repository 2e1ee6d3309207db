#pragma once

#include <QDialog>
#include <QList>

#include <memory>

namespace Ui {
class ExportPNGDialog;
}

// Shows the document's list of square resolutions to export as PNG files, ascending and free of
// repeats, and hands the list the user made to the form when the user presses Export.
class ExportPNGDialog : public QDialog {
    Q_OBJECT

public:
    explicit ExportPNGDialog(const QList<int>& sizes, QWidget* parent = nullptr);
    ~ExportPNGDialog() override;

Q_SIGNALS:
    void exportRequested(const QList<int>& sizes);

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
