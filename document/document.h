#pragma once

#include "document/iconstyle.h"
#include "document/layer.h"

#include <QList>
#include <QString>

// What the next export writes: a project keeps it with the pictures, so it is the document's.
struct OutputChoice {
    // Most sizes of the PNG set and of the icon file: more than any platform asks for, far
    // fewer than would make an export run for minutes.
    static constexpr int maxSizes = 64;

    // The export target by its command-line key ("ico", "android", …); a project keeps it as
    // "outputTarget". A key this version does not know may come from a newer one's project.
    QString target = QStringLiteral("ico");
    // The icon file's entries, ascending, 16..1024; none: the default entries of the canvas size.
    QList<int> iconSizes;
    // Small icon entries drawn at their own size from the layers instead of scaled down.
    bool sharpSizes = false;
    // The PNG set's sizes, 1..1024, no repeats, in the user's order.
    QList<int> pngSizes{16, 32, 48, 256};
    // macOS icons with their body on the system's grid (824 of 1024, a shadow below) rather
    // than filling the square.
    bool appleGrid = false;
    // Where the web set's files are served from, the start of every link of its head.html: a path
    // ("/", "/icons/") or a whole address. A project keeps it as "webBase" unless it is "/".
    QString webBase = QStringLiteral("/");

    // Whether `text` can stand at the start of a link as it is: 1 to 255 characters, none a
    // space, a control character or one of " < > \ ` (a URL carries them only escaped).
    static bool isWebBase(const QString& text);

    bool operator==(const OutputChoice& other) const;
    bool operator!=(const OutputChoice& other) const { return !(*this == other); }
};

// Everything a project holds: what an undo step goes back to, what a project file keeps, what the
// views show and what the writers and the command line render. A value: copies are cheap, the
// pictures inside are implicitly shared.
struct Document {
    IconStyle style;
    // Stacking order, bottom layer first.
    QList<Layer> layers;
    // List position of the selected layer, or noSelection.
    int selected = noSelection;
    OutputChoice output;

    static constexpr int noSelection = -1;

    bool hasSelection() const { return selected >= 0 && selected < layers.size(); }

    // "Image" followed by the layer's number: its row text in the picture list.
    static QString layerName(int number);
    // List position of the layer named `name` regardless of case, or noSelection.
    int findLayer(const QString& name) const;
    // Smallest non-negative number no layer carries, so numbers of deleted layers come back.
    int nextFreeNumber() const;
    // Moves the layer at `from` so that it ends at position `to`; the selection goes with it.
    void moveLayer(int from, int to);
};

// Whether two documents would be saved the same: the same stored style, canvas size included, the
// same layers with the same pictures in the same places and the same output choice. The
// selection does not count.
bool sameDocument(const Document& a, const Document& b);
