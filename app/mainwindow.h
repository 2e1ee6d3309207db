#pragma once

#include <QMainWindow>

class BrasswickForm;
class QStackedLayout;

namespace Ui {
class MainWindow;
}

// The one top-level window: a thin frame around the editor form that remembers its geometry.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Ui::MainWindow* ui;
    BrasswickForm* form = nullptr;
    QStackedLayout* stackedLayout = nullptr;

    void restoreWindowGeometry();
};
