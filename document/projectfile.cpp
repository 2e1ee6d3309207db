#include "projectfile.h"

#include "document/stylestore.h"
#include "picture/pictureintake.h"
#include "picture/vectorpicture.h"
#include "trace/printablename.h"
#include "trace/trace.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <optional>
#include <utility>

namespace ProjectFile {
namespace {

const QString formatName = QStringLiteral("glimmerdock-project");
constexpr int formatVersion = 1;
constexpr int maxPosition = 1000000;
constexpr int maxExportSize = 1024;
// File names are kept for the layer list only; nobody needs a longer one there.
constexpr int maxNameLength = 255;
// Strings this long or longer (a picture's base64 text) are kept out of the JSON reader.
constexpr qsizetype longString = 1024;
const QList<int> defaultExportSizes{16, 32, 48, 256};

QString tr(const char* text) {
    return QCoreApplication::translate("ProjectFile", text);
}

// `value` when it is a whole number in min..max. Doubles too large for an int, fractions, text
// and NaN all give nothing.
std::optional<int> wholeNumber(const QJsonValue& value, int min, int max) {
    const double number = value.toDouble(std::nan(""));
    if (!(number >= min && number <= max) || number != std::floor(number))
        return std::nullopt;
    return int(number);
}

QJsonObject layerObject(const Layer& layer) {
    QJsonObject object;
    object.insert(u"name", QFileInfo(layer.filePath).fileName());
    object.insert(u"index", layer.index);
    object.insert(u"x", layer.position.x());
    object.insert(u"y", layer.position.y());
    object.insert(u"scale", layer.scale);
    object.insert(u"rotation", layer.rotation);
    // Only a bound the layer has, so a project without ranges is saved as before.
    if (layer.minSize != 0)
        object.insert(u"minSize", layer.minSize);
    if (layer.maxSize != 0)
        object.insert(u"maxSize", layer.maxSize);
    object.insert(u"data", QString::fromLatin1(layer.fileBytes.toBase64()));
    return object;
}

// `text` with every long string (a picture's base64 text) replaced by "*N", the N-th of them, kept
// in `strings` as a view into `text`: the JSON reader would hold a copy of each and hand out
// another in UTF-16, together four times a picture's text. A string cut short is left as it is,
// for the JSON reader to refuse.
QByteArray withoutLongStrings(const QByteArray& text, QList<QByteArrayView>& strings) {
    QByteArray json;
    qsizetype copied = 0;
    for (qsizetype at = text.indexOf('"'); at >= 0; at = text.indexOf('"', at + 1)) {
        qsizetype end = at + 1;
        while (end < text.size() && text.at(end) != '"')
            end += text.at(end) == '\\' ? 2 : 1;
        if (end >= text.size())
            break;
        if (end - at - 1 >= longString) {
            json.append(QByteArrayView(text).sliced(copied, at + 1 - copied));
            json.append('*' + QByteArray::number(strings.size()));
            strings << QByteArrayView(text).sliced(at + 1, end - at - 1);
            copied = end;
        }
        at = end;
    }
    return json.append(QByteArrayView(text).sliced(copied));
}

// The picture's bytes from its base64 `text`, or from the long string "*N" names; nothing when
// they are no base64.
std::optional<QByteArray> pictureBytes(const QString& text, const QList<QByteArrayView>& strings) {
    bool numbered = false;
    const qsizetype n = text.startsWith(u'*') ? text.mid(1).toLongLong(&numbered) : -1;
    const QByteArray base64 = numbered && n >= 0 && n < strings.size()
                                  ? QByteArray::fromRawData(strings[n].data(), strings[n].size())
                                  : text.toLatin1();
    auto bytes = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    return bytes ? std::optional<QByteArray>(std::move(*bytes)) : std::nullopt;
}

// A count in full with its thousands marked, so two near counts never read alike.
QString exactCount(qint64 count) {
    return QLocale(QLocale::English).toString(count);
}

// How a message names the layer of number `number` (from 1) and its stored file name.
QString pictureLabel(int number, const QString& name) {
    return name.isEmpty() ? tr("picture %1").arg(number)
                          : tr("picture %1 (%2)").arg(number).arg(printableName(name));
}

// Fills the layer's picture from its bytes as a drop reads a file, and counts its pixels against
// `pixelsLeft`; answers why it cannot, naming it by `label`, or nothing.
QString decodePicture(const QString& label, qint64& pixelsLeft, Layer& layer) {
    const PictureIntake::Picture picture = PictureIntake::decode(layer.fileBytes, pixelsLeft);
    if (picture.tooLarge)
        return tr("%1 is %2").arg(label, picture.refusal);
    // An SVG's own reason, as a drop of the same file tells it.
    if (!picture.refusal.isEmpty() && VectorPicture::isVector(layer.fileBytes))
        return tr("%1 cannot be read: %2").arg(label, picture.refusal);
    if (!picture.refusal.isEmpty())
        return tr("%1 cannot be read").arg(label);
    layer.sourceImage = picture.image;
    layer.vector = picture.vector;
    pixelsLeft -= qint64(layer.sourceImage.width()) * layer.sourceImage.height();
    return {};
}

// Fills `layer`, all but its picture, from `value` (its picture's text among `strings`); answers
// why it cannot, naming it as picture `number`, or nothing.
QString readLayer(const QJsonValue& value, const QList<QByteArrayView>& strings, int number,
                  Layer& layer) {
    const QJsonObject object = value.toObject();
    const auto x = wholeNumber(object.value(u"x"), -maxPosition, maxPosition);
    const auto y = wholeNumber(object.value(u"y"), -maxPosition, maxPosition);
    const auto scale = wholeNumber(object.value(u"scale"), 1, maximumScale);
    const auto rotation = wholeNumber(object.value(u"rotation"), -maximumRotation, maximumRotation);
    const QJsonValue name = object.value(u"name");
    layer.filePath = QFileInfo(name.toString()).fileName().left(maxNameLength);
    const QJsonValue data = object.value(u"data");
    const auto bytes = pictureBytes(data.toString(), strings);
    if (!x || !y || !scale || !rotation || !name.isString() || !data.isString() || !bytes)
        return tr("%1 cannot be read").arg(pictureLabel(number, layer.filePath));
    layer.fileBytes = *bytes;
    // A missing or unusable number is replaced by renumber().
    layer.index = wholeNumber(object.value(u"index"), INT_MIN, INT_MAX).value_or(-1);
    layer.position = QPoint(*x, *y);
    layer.scale = *scale;
    layer.rotation = *rotation;
    // A bound that is no icon size is no bound: the picture is kept, drawn at every size.
    layer.minSize = wholeNumber(object.value(u"minSize"), 1, largestIconSize).value_or(0);
    layer.maxSize = wholeNumber(object.value(u"maxSize"), 1, largestIconSize).value_or(0);
    return {};
}

// Why the pictures of `layers` are too large, by the sizes their headers declare, or nothing:
// known before any is decoded. A header that cannot be read is left for decoding to tell.
QString sizeProblem(const QList<Layer>& layers) {
    qint64 total = 0;
    for (int i = 0; i < layers.size(); ++i) {
        const QSize size = PictureIntake::declaredSize(layers[i].fileBytes);
        if (std::max(size.width(), size.height()) > maxImageSide)
            return tr("%1 is too large: %2 x %3")
                .arg(pictureLabel(i + 1, layers[i].filePath))
                .arg(size.width())
                .arg(size.height());
        total += qint64(std::max(size.width(), 0)) * std::max(size.height(), 0);
    }
    if (total > maxTotalPixels)
        return tr("its pictures are too large together: %1 pixels, at most %2")
            .arg(exactCount(total), exactCount(maxTotalPixels));
    return {};
}

// Gives each layer whose number is negative or already taken the smallest free one, so every
// layer keeps a name of its own in the list.
void renumber(QList<Layer>& layers) {
    QSet<int> taken;
    QList<qsizetype> pending;
    for (qsizetype i = 0; i < layers.size(); ++i) {
        if (layers[i].index < 0 || taken.contains(layers[i].index))
            pending << i;
        else
            taken.insert(layers[i].index);
    }
    int next = 0;
    for (qsizetype i : pending) {
        while (taken.contains(next))
            ++next;
        layers[i].index = next;
        taken.insert(next);
    }
}

// The whole numbers of `values` within low..high, each once, in order.
QList<int> readSizes(const QJsonArray& values, int low, int high) {
    QList<int> sizes;
    // A set of seen sizes, so a file of millions of repeats is read in linear time.
    std::array<bool, maxExportSize + 1> seen{};
    for (const QJsonValue& value : values) {
        const auto size = wholeNumber(value, low, high);
        if (size && !std::exchange(seen[*size], true))
            sizes << *size;
    }
    return sizes;
}

// A value that may be left out, but is of `type` when present.
bool absentOr(const QJsonValue& value, QJsonValue::Type type) {
    return value.isUndefined() || value.type() == type;
}

// Why `root` is not a project this version can read, or nothing.
QString shapeProblem(const QJsonObject& root, const QJsonParseError& parseError) {
    const auto version = wholeNumber(root.value(u"version"), 1, INT_MAX);
    const QJsonValue layers = root.value(u"layers");
    if (parseError.error != QJsonParseError::NoError)
        return tr("damaged, or not a Glimmerdock project");
    if (root.value(u"format") != formatName || !version)
        return tr("not a Glimmerdock project");
    if (*version > formatVersion)
        return tr("made by a newer version (format %1)").arg(*version);
    if (!absentOr(root.value(u"style"), QJsonValue::Object) ||
        !absentOr(root.value(u"exportSizes"), QJsonValue::Array) ||
        !absentOr(root.value(u"iconSizes"), QJsonValue::Array) ||
        !absentOr(layers, QJsonValue::Array))
        return tr("damaged: the style, sizes or pictures cannot be read");
    if (layers.toArray().size() > maxLayers)
        return tr("more than %1 pictures").arg(maxLayers);
    return {};
}

// The project in `text`, which is let go once the pictures' bytes are out of it.
// The targets that versions before "outputTarget" knew, by the number they kept as "output". The
// numbers are history, not the window's order: a target added since has none.
const QStringList numberedTargets{"ico",     "png",   "icns", "hicolor",
                                  "android", "apple", "web",  "msix"};

// The key a project names, preferred to the number older versions read; a key that cannot be
// one (empty, long, or other characters) reads as the default.
QString readTarget(const QJsonObject& root) {
    static const QRegularExpression keyShape(QStringLiteral("^[a-z0-9-]{1,32}$"));
    const QJsonValue key = root.value(u"outputTarget");
    if (key.isString())
        return keyShape.match(key.toString()).hasMatch() ? key.toString() : OutputChoice().target;
    return numberedTargets.at(
        wholeNumber(root.value(u"output"), 0, int(numberedTargets.size()) - 1).value_or(0));
}

std::optional<Document> readProject(QByteArray text, QString& reason) {
    QList<QByteArrayView> strings;
    QJsonParseError parseError;
    const QJsonObject root =
        QJsonDocument::fromJson(withoutLongStrings(text, strings), &parseError).object();
    reason = shapeProblem(root, parseError);
    if (!reason.isEmpty())
        return std::nullopt;
    Document project;
    StyleStore::fromMap(project.style, root.value(u"style").toObject().toVariantMap());
    OutputChoice& output = project.output;
    output.target = readTarget(root);
    output.pngSizes = readSizes(root.value(u"exportSizes").toArray(), 1, maxExportSize);
    if (output.pngSizes.isEmpty())
        output.pngSizes = defaultExportSizes;
    output.iconSizes = readSizes(root.value(u"iconSizes").toArray(), 16, maxExportSize);
    if (std::max(output.pngSizes.size(), output.iconSizes.size()) > OutputChoice::maxSizes) {
        reason = tr("more than %1 export sizes").arg(OutputChoice::maxSizes);
        return std::nullopt;
    }
    std::sort(output.iconSizes.begin(), output.iconSizes.end());
    output.sharpSizes = root.value(u"sharpSizes").toBool();
    output.appleGrid = root.value(u"appleGrid").toBool();
    // A base that cannot start a link reads as the default.
    if (const QString base = root.value(u"webBase").toString(); OutputChoice::isWebBase(base))
        output.webBase = base;
    for (const QJsonValue& value : root.value(u"layers").toArray()) {
        Layer layer;
        reason = readLayer(value, strings, int(project.layers.size()) + 1, layer);
        if (!reason.isEmpty())
            return std::nullopt;
        project.layers << layer;
    }
    strings.clear();
    text = QByteArray();
    reason = sizeProblem(project.layers);
    qint64 pixelsLeft = maxTotalPixels;
    for (int i = 0; i < project.layers.size() && reason.isEmpty(); ++i) {
        Layer& layer = project.layers[i];
        reason = decodePicture(pictureLabel(i + 1, layer.filePath), pixelsLeft, layer);
    }
    if (!reason.isEmpty())
        return std::nullopt;
    renumber(project.layers);
    return project;
}

std::optional<Document> failure(const QString& reason, QString* error) {
    qCDebug(lcDocument).noquote() << "Project not read:" << reason;
    if (error)
        *error = reason;
    return std::nullopt;
}

} // namespace

QByteArray encode(const Document& project) {
    QJsonArray sizes;
    for (int size : project.output.pngSizes)
        sizes.append(size);
    QJsonArray iconSizes;
    for (int size : project.output.iconSizes)
        iconSizes.append(size);
    QJsonArray layers;
    for (const Layer& layer : project.layers)
        layers.append(layerObject(layer));
    QJsonObject root;
    root.insert(u"format", formatName);
    root.insert(u"version", formatVersion);
    root.insert(u"style", QJsonObject::fromVariantMap(StyleStore::toMap(project.style)));
    root.insert(u"outputTarget", project.output.target);
    // Older versions read the number alone; for a target they never knew they open their default.
    if (const qsizetype number = numberedTargets.indexOf(project.output.target); number >= 0)
        root.insert(u"output", int(number));
    root.insert(u"exportSizes", sizes);
    root.insert(u"iconSizes", iconSizes);
    root.insert(u"sharpSizes", project.output.sharpSizes);
    // Kept only when chosen, so projects that never chose it are saved as before.
    if (project.output.appleGrid)
        root.insert(u"appleGrid", true);
    if (project.output.webBase != OutputChoice().webBase)
        root.insert(u"webBase", project.output.webBase);
    root.insert(u"layers", layers);
    return QJsonDocument(root).toJson();
}

std::optional<Document> decode(const QByteArray& bytes, QString* error) {
    QString reason;
    std::optional<Document> project = readProject(bytes, reason);
    return project ? project : failure(reason, error);
}

std::optional<Document> load(const QString& path, QString* error) {
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists())
        return failure(tr("the file does not exist"), error);
    if (!info.isFile())
        return failure(tr("not a file"), error);
    if (info.size() > maxFileBytes)
        return failure(tr("larger than %1 MB").arg(maxFileBytes >> 20), error);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString(), error);
    // At most the size checked above, even if the file grows meanwhile.
    QString reason;
    std::optional<Document> project = readProject(file.read(info.size()), reason);
    return project ? project : failure(reason, error);
}

} // namespace ProjectFile
