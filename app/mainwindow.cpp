#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "form/brasswickform.h"
#include "windowgeometry.h"

#include <QCloseEvent>
#include <QStackedLayout>

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui::MainWindow) {
    ui->setupUi(this);
    restoreWindowGeometry();
    stackedLayout = new QStackedLayout;
    if (!form) {
        form = new BrasswickForm(this);
        form->show();
        stackedLayout->addWidget(form);
    }
    ui->centralwidget->setLayout(stackedLayout);
}

MainWindow::~MainWindow() {
    delete ui;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    WindowGeometry::save(geometry());
    event->accept();
}

void MainWindow::restoreWindowGeometry() {
    setGeometry(WindowGeometry::restored(GeometryStore::screenSize(), WindowGeometry::load()));
}
