#pragma once

#include "output/iconsizes.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <memory>

namespace Ui {
class IconSizesDialog;
}

// Lets the user choose the entries of the icon file, ascending and free of repeats, and whether
// the small ones are drawn sharp; after OK, choice() is what the user chose.
class IconSizesDialog : public QDialog {
    Q_OBJECT

public:
    // `canvasFactor` decides which entries "Default" shows.
    IconSizesDialog(const IconSizeChoice& choice, int canvasFactor, QWidget* parent = nullptr);
    ~IconSizesDialog() override;

    const IconSizeChoice& choice() const { return chosen; }

private Q_SLOTS:
    void on_addButton_clicked();
    void on_removeButton_clicked();
    void on_windowsButton_clicked();
    void on_defaultButton_clicked();
    void on_okButton_clicked();
    void on_cancelButton_clicked();

private:
    void onSelectionChanged();
    // Shows `sizes`; `isDefault`: they are the canvas size's defaults, stored as no choice at all.
    void showSizes(const QList<int>& sizes, bool isDefault);
    void setShowsDefault(bool isDefault);
    // Asks before adding a size Windows never uses.
    bool confirmSize(int size);
    QStringList rowTexts() const;
    QList<int> listedSizes() const;

    std::unique_ptr<Ui::IconSizesDialog> ui;
    const int canvasFactor;
    bool showsDefault = true;
    IconSizeChoice chosen;
};
