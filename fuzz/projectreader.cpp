// The project reader on untrusted bytes: it answers a project within its limits or a reason, and a
// project it answers is saved and read back the same.
#include "document/projectfile.h"

#include "fuzz/fuzzing.h"

#include <cstdint>

using Fuzzing::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<Document> project = ProjectFile::decode(bytes, &error);
    require(project.has_value() == error.isEmpty());
    if (!project)
        return 0;
    require(project->layers.size() <= ProjectFile::maxLayers);
    require(!project->hasSelection());
    const QByteArray saved = ProjectFile::encode(*project);
    QString againError;
    const std::optional<Document> again = ProjectFile::decode(saved, &againError);
    require(again && ProjectFile::encode(*again) == saved);
    for (qsizetype i = 0; i < project->layers.size(); ++i)
        require(again->layers.at(i).sourceImage == project->layers.at(i).sourceImage);
    return 0;
}
