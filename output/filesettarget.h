#pragma once

#include "output/exporttarget.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// A target that writes a folder of files laid out as a platform expects them (resource folders,
// catalogs, manifests). Each file is replaced whole; a folder that cannot be made is one failure
// naming it.
class FileSetTarget : public ExportTarget {
public:
    // One file: its path in the set ('/'-separated), and how its picture (written as PNG) or its
    // bytes are made. Nothing is made until the file is written, so the list itself is cheap;
    // files are made and encoded side by side on every core, so a maker must only read what it
    // shares with others.
    struct File {
        QString path;
        std::function<QImage()> image;
        std::function<QByteArray()> bytes;
    };

    bool asksForFile() const override { return false; }
    Destination batchDestination(const QString& folder, const QString& name) const override;
    QStringList filesBeyondTheChosen(const Document& document,
                                     const Destination& destination) const override;
    OutputFailures write(const Document& document, const QImage& rendering,
                         const Destination& destination, PngEncodings& encodings) const override;
    QString writtenMessage(const Document& document, const Destination& destination,
                           const OutputFailures& failures) const override;

    // The files the set holds for `document`; `name` is the icon's name. Their paths are all
    // that is read when `rendering` is null (and may hold the name).
    virtual QList<File> files(const Document& document, const QImage& rendering,
                              const QString& name) const = 0;

protected:
    // The picture of the file at `path` among `set` as it is written, captioned `caption`; null
    // when the set holds no such file.
    static PreviewPicture previewOf(const QList<File>& set, const QString& path,
                                    const QString& caption);
    // What the status bar adds after the count of files, such as a file left out; empty: none.
    virtual QString remark(const Document&) const { return QString(); }

private:
    QStringList fileNames(const Document& document, const QString& name) const;
};
