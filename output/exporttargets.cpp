#include "exporttargets.h"

#include "output/exporttarget.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Each target lives in a file of its own.
const ExportTarget& icoTarget();
const ExportTarget& pngSetTarget();
const ExportTarget& icnsTarget();
const ExportTarget& iconThemeTarget();
const ExportTarget& androidTarget();
const ExportTarget& appleTarget();
const ExportTarget& appleLayeredTarget();
const ExportTarget& webTarget();
const ExportTarget& msixTarget();

ExportTarget::Destination ExportTarget::destinationOf(const QString& chosen) const {
    return {chosen, QFileInfo(chosen).completeBaseName()};
}

ExportTarget::Destination ExportTarget::destinationIn(const QString& folder,
                                                      const QString& name) const {
    return asksForFile() ? batchDestination(folder, name) : Destination{folder, name};
}

QList<ExportTarget::PreviewPicture> ExportTarget::previewPictures(const Document& document,
                                                                  const QImage& rendering) const {
    const SizedIcon icon = sizedIcon(document, rendering);
    QList<PreviewPicture> pictures;
    for (int size : sizes(document))
        pictures.append({icon.artworkAt(size), QString::number(size), {}});
    return pictures;
}

SizedIcon ExportTarget::sizedIcon(const Document& document, const QImage& rendering,
                                  SizedIcon::Parts parts) const {
    return SizedIcon(
        document, rendering, parts,
        [this](const Document& shown, const QImage& drawn) { return artwork(shown, drawn); });
}

OutputFailures ExportTarget::write(const Document& document, const QImage& rendering,
                                   const Destination& destination) const {
    PngEncodings encodings;
    return write(document, rendering, destination, encodings);
}

std::optional<OutputFailure> ExportTarget::makeFolder(const QString& folder, const QString& file) {
    if (QDir().mkpath(folder))
        return std::nullopt;
    return OutputFailure{file, QStringLiteral("cannot create the folder %1").arg(folder)};
}

namespace ExportTargets {

const QList<const ExportTarget*>& all() {
    // The window's output list, in this order; a project keeps its choice by key, so a new target
    // may go anywhere.
    static const QList<const ExportTarget*> targets{
        &icoTarget(),   &pngSetTarget(),       &icnsTarget(), &iconThemeTarget(), &androidTarget(),
        &appleTarget(), &appleLayeredTarget(), &webTarget(),  &msixTarget()};
    return targets;
}

const ExportTarget& at(int position) {
    return *all().value(position, all().constFirst());
}

const ExportTarget& of(const OutputChoice& output) {
    const ExportTarget* target = find(output.target);
    return target ? *target : *all().constFirst();
}

QString chooseKnownTarget(OutputChoice& output) {
    if (find(output.target))
        return {};
    const QString unknown = output.target;
    output.target = all().constFirst()->key();
    return QCoreApplication::translate("ExportTargets",
                                       "The project's output \"%1\" is unknown to this version: "
                                       "%2 is chosen instead.")
        .arg(unknown, all().constFirst()->title());
}

const ExportTarget* find(const QString& key) {
    for (const ExportTarget* target : all()) {
        if (target->key() == key)
            return target;
    }
    return nullptr;
}

QStringList keys() {
    QStringList names;
    for (const ExportTarget* target : all())
        names << target->key();
    return names;
}

} // namespace ExportTargets
