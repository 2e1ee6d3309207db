#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The files one icon goes to; an empty path: that target is not wanted.
struct RenderTargets {
    QString icoFile;
    QString pngFolder;
    QString icnsFile;
    // The folder that receives hicolor/<n>x<n>/apps/<name>.png.
    QString hicolorFolder;

    bool isEmpty() const {
        return icoFile.isEmpty() && pngFolder.isEmpty() && icnsFile.isEmpty() &&
               hicolorFolder.isEmpty();
    }
};

// A `render` command as the user typed it, checked for everything that needs no file.
struct RenderRequest {
    // The project to render, or with pictures the style template they are put on.
    QString project;
    // Batch: each picture becomes one icon, named after the picture.
    QStringList pictures;
    // Without pictures: where the project's icon goes.
    RenderTargets targets;
    // Batch: the folder every picture's targets go to, and which targets ("ico", "png", "icns",
    // "hicolor"); none named: the output chosen in the project.
    QString outFolder;
    QStringList targetKinds;
    // PNG set sizes; empty: the project's export sizes.
    QList<int> pngSizes;
    std::optional<QString> badgeText;
};
