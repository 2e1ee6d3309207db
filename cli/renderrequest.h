#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A `render` command as the user typed it, checked for everything that needs no file.
struct RenderRequest {
    // The project to render, or with pictures the style template they are put on.
    QString project;
    // Batch: each picture becomes one icon, named after the picture.
    QStringList pictures;
    // Without pictures: the export targets wanted, by key, and the file or folder of each.
    QMap<QString, QString> targets;
    // Without pictures: every target not named above goes to a subfolder of this one named after
    // its key.
    QString allFolder;
    // Batch: the folder every picture's targets go to, and which targets by key; none named:
    // the output chosen in the project.
    QString outFolder;
    QStringList targetKinds;
    // PNG set sizes; empty: the project's export sizes.
    QList<int> pngSizes;
    std::optional<QString> badgeText;
    // Where the web set's head.html links its files from, instead of the project's.
    std::optional<QString> webBase;
};
