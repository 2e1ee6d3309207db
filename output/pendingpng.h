#pragma once

#include <QImage>
#include <QList>
#include <QString>

// One pending PNG output: the full path to write and the icon at exactly that file's resolution.
struct PendingPng {
    QString fileName;
    QImage image;
};
