#pragma once

#include <QWidget>

// The editor form around the canvas.
class BrasswickForm : public QWidget {
    Q_OBJECT

public:
    explicit BrasswickForm(QWidget* parent = nullptr);
    ~BrasswickForm() override;
};
