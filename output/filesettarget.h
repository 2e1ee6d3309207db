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
    // One file: its path in the set ('/'-separated), and how its picture (written as PNG) is
    // drawn, or its bytes. Pictures are drawn and encoded side by side on every core, so a
    // drawing must only read what it shares with others.
    struct File {
        QString path;
        std::function<QImage()> image;
        QByteArray bytes;
    };

    bool asksForFile() const override { return false; }
    Destination batchDestination(const QString& folder, const QString& name) const override;
    QStringList filesBeyondTheChosen(const Document& document,
                                     const Destination& destination) const override;
    OutputFailures write(const Document& document, const QImage& rendering,
                         const Destination& destination) const override;
    QString writtenMessage(const Document& document, const Destination& destination,
                           const OutputFailures& failures) const override;

    // The paths of the files the set holds for `document`, without making them.
    virtual QStringList fileNames(const Document& document) const = 0;
    // The files themselves, in the order of fileNames(); `name` is the icon's name.
    virtual QList<File> files(const Document& document, const QImage& rendering,
                              const QString& name) const = 0;

protected:
    // What the status bar adds after the count of files, such as a file left out; empty: none.
    virtual QString remark(const Document&) const { return QString(); }
};
