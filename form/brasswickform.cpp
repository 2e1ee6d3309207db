#include "brasswickform.h"

BrasswickForm::BrasswickForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BrasswickForm"));
}

BrasswickForm::~BrasswickForm() = default;
