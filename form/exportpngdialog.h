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

private:
    // A size from the new resolution dialog, in its place in the list.
    void addResolution(int size);
    // Remove acts on the selected rows: none, nothing to remove.
    void enableRemove();
    QStringList rowTexts() const;

    std::unique_ptr<Ui::ExportPNGDialog> ui;
};
