#pragma once

#include "document/document.h"
#include "output/outputfailure.h"
#include "output/pngencodings.h"
#include "render/sizedicon.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One kind of file set a document can be written as. The window's output list, its Go button,
// File > Export and the command line all go through the list of these (ExportTargets), so a new
// kind of output is one new target and one entry in that list.
class ExportTarget {
public:
    // Where the files go: a file or a folder, and the icon's name where the files carry one.
    struct Destination {
        QString path;
        QString name;
    };

    virtual ~ExportTarget() = default;

    // Its entry in the window's output list.
    virtual QString title() const = 0;
    // Its name on the command line: the option --<key> and the batch's --targets entry.
    virtual QString key() const = 0;
    // What the window asks the user for: a file to create (true) or a folder.
    virtual bool asksForFile() const = 0;
    // Whether the window lets the user change the document's PNG sizes before the folder.
    virtual bool asksForSizes() const { return false; }
    // The save dialog's title, filter and suffix added when the name has none.
    virtual QString fileDialogTitle() const { return QString(); }
    virtual QString fileFilter() const { return QString(); }
    virtual QString suffix() const { return QString(); }
    // Where the files go when the user chose `chosen` in the window.
    virtual Destination destinationOf(const QString& chosen) const;
    // Where a batch puts the files of the picture named `name` in `folder`.
    virtual Destination batchDestination(const QString& folder, const QString& name) const = 0;
    // Where the files go in a `folder` of the target's own (the command line's --all).
    Destination destinationIn(const QString& folder, const QString& name) const;

    // One picture of the size preview: a file or an entry as the target writes it, and its
    // caption (its edge in pixels, or what it shows); `file` is the path in a folder set of the
    // file it is made from, empty for an entry of one file.
    struct PreviewPicture {
        QImage image;
        QString caption;
        QString file;
    };

    // The edge lengths of the icons the target writes for `document`, each its artwork() at that
    // size (SizedIcon::artworkAt).
    virtual QList<int> sizes(const Document&) const { return {}; }
    // The picture the target's icons are scaled from, `rendering` being the icon of the layers
    // shown: `rendering` itself unless the target sets the icon on a platform's grid.
    virtual QImage artwork(const Document&, const QImage& rendering) const { return rendering; }
    // What the size preview shows of `document`, `rendering` being IconRenderer::renderIcon of it:
    // made by the writer's own makers, so it cannot drift from what is written. Here every size
    // of sizes() as written, captioned with its edge.
    virtual QList<PreviewPicture> previewPictures(const Document& document,
                                                  const QImage& rendering) const;

    // Every file the target writes at `destination` besides the one the save dialog asked about,
    // so the user can be asked before any is replaced.
    virtual QStringList filesBeyondTheChosen(const Document&, const Destination&) const {
        return QStringList();
    }

    // Writes the document's icon, `rendering` (IconRenderer::renderIcon of it), at `destination`,
    // creating missing folders and going on past failures; answers those. Targets written
    // together share `encodings`, so a picture several of them hold is encoded once.
    virtual OutputFailures write(const Document& document, const QImage& rendering,
                                 const Destination& destination, PngEncodings& encodings) const = 0;
    // The same, for a target written alone.
    OutputFailures write(const Document& document, const QImage& rendering,
                         const Destination& destination) const;
    // What the status bar says after write() answered `failures`; empty: nothing to say.
    virtual QString writtenMessage(const Document& document, const Destination& destination,
                                   const OutputFailures& failures) const = 0;

protected:
    // The icon of `document` at every size (`rendering` the icon of every layer), its artwork
    // this target's artwork().
    SizedIcon sizedIcon(const Document& document, const QImage& rendering,
                        SizedIcon::Parts parts = SizedIcon::Parts::Icon) const;
    // Makes `folder` as `mkdir -p` would, for `file`; answers why it cannot be made, or nothing.
    static std::optional<OutputFailure> makeFolder(const QString& folder, const QString& file);
};
