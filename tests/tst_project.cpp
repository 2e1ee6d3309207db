// Project files: saved documents reopen to the same icon bit for bit with the original picture
// bytes, and damaged or hostile files give a reason, never a crash or a runaway allocation.
#include "document/projectfile.h"
#include "document/stylestore.h"
#include "output/exporttargets.h"
#include "picture/picturedecoder.h"
#include "picture/vectorpicture.h"
#include "render/iconrenderer.h"
#include "render/layerpixels.h"
#include "render/sharpicon.h"
#include "support/testsupport.h"

#include <QtWidgets>

using namespace TestSupport;

// "outputTarget" (undefined: not there), "output" as versions before keys kept it, the target the
// window and command line write, and whether the user is told of an unknown output.
using OutputKeys = std::tuple<QJsonValue, QJsonValue, QString, bool>;
// "webBase" of the project or a bound of its first layer, the value stored (undefined: not there)
// and what the document holds (the default is not saved).
using OptionalKey = std::tuple<QString, QJsonValue, QJsonValue>;

class TestProject : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QRandomGenerator random{11};
    QByteArray valid;
    // The targets by the numbers versions before keys kept: history, whatever the list holds now.
    const QStringList numbered{"ico", "png", "icns", "hicolor", "android", "apple", "web", "msix"};

    // A layer made as a drop makes it from a real PNG or JPEG file, then moved, zoomed and turned.
    Layer layer(int n, int side) {
        Layer layer;
        layer.filePath = dir.filePath(QStringLiteral("p%1.%2").arg(n).arg(n % 2 ? "jpg" : "png"));
        writePicture(layer.filePath, QSize(side, side + n), QColor::fromRgb(random.generate()));
        layer.fileBytes = readFileBytes(layer.filePath);
        layer.sourceImage = PictureDecoder(layer.fileBytes).read();
        layer.index = n;
        layer.position = QPoint(random.bounded(-60, 300), random.bounded(-60, 300));
        layer.scale = n % 4 ? random.bounded(1, 300) : 100;
        layer.rotation = n % 3 ? random.bounded(-720, 720) : 0;
        return layer;
    }

private slots:
    void initTestCase() {
        initTestEnvironment();
        // Damaged pictures are expected here by the thousand.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));
        Document project;
        project.layers = {layer(0, 170), layer(1, 4)};
        valid = ProjectFile::encode(project);
    }

    void roundTrip() {
        // Long enough for its text to be kept out of the JSON reader.
        const QByteArray svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" "
                               "height=\"40\"><circle cx=\"20\" cy=\"20\" r=\"18\" "
                               "fill=\"red\"/><desc>" +
                               QByteArray(2000, 'x') + "</desc></svg>";
        const QString path = dir.filePath(QStringLiteral("saved.glimmer"));
        for (int round = 0; round < 6; ++round) {
            // Every output target, not only the first two, comes back as saved.
            Document saved;
            saved.selected = 0;
            const QStringList targets = ExportTargets::keys();
            saved.output = {targets.at(round * 3 % targets.size()),
                            {16, 24, 256},
                            round % 3 == 0,
                            {64, 16, 1024}};
            // Random stored values of every kind for every field, as a damaged settings store has.
            QVariantMap values = StyleStore::toMap(IconStyle());
            for (QVariant& value : values)
                value = QVariantList{random.bounded(9), random.bounded(400),
                                     QColor::fromRgb(random.generate()).name()}[random.bounded(3)];
            StyleStore::fromMap(saved.style, values);
            for (int n = 0; n <= round % 4; ++n)
                saved.layers << layer(n, 20);
            // An SVG layer, packed or not, reopens as one: its bytes as they were, drawn from the
            // SVG at any size.
            Layer drawing;
            drawing.fileBytes = round % 2 ? gzipped(svg) : svg;
            drawing.vector = VectorPicture::read(drawing.fileBytes, nullptr);
            drawing.sourceImage = drawing.vector->image(drawing.vector->naturalSize());
            drawing.index = 9;
            drawing.scale = 70;
            drawing.rotation = 30;
            saved.layers << drawing;
            QString error;
            QVERIFY(writeFileBytes(path, ProjectFile::encode(saved)));
            const std::optional<Document> opened = ProjectFile::load(path, &error);
            QVERIFY2(opened && opened->selected == -1, qPrintable(error));
            // Every stored field, names without folders and the original picture bytes.
            QCOMPARE(ProjectFile::encode(*opened), ProjectFile::encode(saved));
            for (qsizetype i = 0; i < saved.layers.size(); ++i) {
                const Layer &a = opened->layers[i], &b = saved.layers[i];
                QVERIFY(a.rect() == b.rect() && a.sourceImage == b.sourceImage &&
                        LayerPixels::made(a).image == LayerPixels::made(b).image);
                QCOMPARE(bool(a.vector), bool(b.vector));
            }
            QCOMPARE(renderSharpIcon(opened->style, opened->layers, 1, 16),
                     renderSharpIcon(saved.style, saved.layers, 1, 16));
            const int k = saved.style.canvasFactor;
            QCOMPARE(IconRenderer(k).renderIcon(opened->style, opened->layers),
                     IconRenderer(k).renderIcon(saved.style, saved.layers));
        }
    }

    void outputByKey_data() {
        QTest::addColumn<OutputKeys>("keys");
        for (int number = 0; number < numbered.size(); ++number)
            QTest::addRow("number %d", number)
                << OutputKeys{QJsonValue::Undefined, number, numbered[number], false};
        QTest::newRow("key before number") << OutputKeys{"android", 2, "android", false};
        QTest::newRow("number out of range") << OutputKeys{QJsonValue::Undefined, 8, "ico", false};
        QTest::newRow("a newer version's") << OutputKeys{"vision", 3, "ico", true};
        QTest::newRow("no key's shape") << OutputKeys{"../ico", 4, "ico", false};
        QTest::newRow("not text") << OutputKeys{5, QJsonValue(), "ico", false};
    }

    // A project names its output by key, and older versions' numbers keep meaning what they
    // meant, whatever the window's list holds now.
    void outputByKey() {
        QFETCH(OutputKeys, keys);
        const auto [key, number, opened, told] = keys;
        QJsonObject root = QJsonDocument::fromJson(valid).object();
        root.remove(u"outputTarget");
        root.remove(u"output");
        if (!key.isUndefined())
            root.insert(u"outputTarget", key);
        if (!number.isUndefined())
            root.insert(u"output", number);
        QString error;
        std::optional<Document> project = ProjectFile::decode(QJsonDocument(root).toJson(), &error);
        QVERIFY2(project, qPrintable(error));
        const QString message = ExportTargets::chooseKnownTarget(project->output);
        QCOMPARE(std::tuple(project->output.target, ExportTargets::of(project->output).key(),
                            !message.isEmpty()),
                 std::tuple(opened, opened, told));
        QVERIFY(!told || message.contains("\"vision\" is unknown"));
        // Saved again: the key, and for older versions the number they knew it by.
        const auto saved = [](const OutputChoice& output) {
            Document document;
            document.output = output;
            return QJsonDocument::fromJson(ProjectFile::encode(document)).object();
        };
        QCOMPARE(saved(project->output).value(u"outputTarget").toString(), opened);
        QCOMPARE(saved(project->output).value(u"output").toInt(-1), numbered.indexOf(opened));
        // A target older versions never knew has no number: they open their default.
        OutputChoice newer;
        newer.target = "vision";
        QVERIFY(!saved(newer).contains(u"output"));
    }

    void optionalKeys_data() {
        QTest::addColumn<OptionalKey>("row");
        const QString longest = "/" + QString(254, QChar(0xfc)); // 509 bytes in UTF-8
        const QStringList webBases{"/static/icons", "https://example.com/i?a=1&b='2'", longest};
        const QStringList refused{longest + "a", "",         "/my icons/", "/a\"b",
                                  "/a<b",        "\\\\host", "/a\x7f"};
        QTest::newRow("webBase not there") << OptionalKey{"webBase", QJsonValue::Undefined, "/"};
        for (const QString& base : webBases)
            QTest::addRow("webBase %s", qPrintable(base.left(20)))
                << OptionalKey{"webBase", base, base};
        for (const QString& base : refused)
            QTest::addRow("webBase %s", qPrintable(base.left(20)))
                << OptionalKey{"webBase", base, "/"};
        QTest::newRow("webBase not text") << OptionalKey{"webBase", 3, "/"};
        const std::pair<QJsonValue, int> bounds[] = {{QJsonValue::Undefined, 0},
                                                     {QJsonValue(), 0},
                                                     {1, 1},
                                                     {1024, 1024},
                                                     {1025, 0},
                                                     {0, 0},
                                                     {16.5, 0},
                                                     {"16", 0}};
        for (const QString key : {"minSize", "maxSize"}) {
            for (const auto& [stored, opened] : bounds) {
                const QByteArray shown =
                    stored.isUndefined()
                        ? "not there"
                        : QJsonDocument(QJsonArray{stored}).toJson(QJsonDocument::Compact);
                QTest::addRow("%s %s", qPrintable(key), shown.constData())
                    << OptionalKey{key, stored, opened};
            }
        }
    }

    // The web set's base ("webBase", not "/") and a layer's size range ("minSize", "maxSize") are
    // kept only where they hold something, so a project without them is saved byte for byte as
    // before; a value that cannot be used opens as the default.
    void optionalKeys() {
        QFETCH(OptionalKey, row);
        const auto [key, stored, opened] = row;
        const bool ofLayer = key != "webBase";
        QJsonObject root = QJsonDocument::fromJson(valid).object();
        QJsonArray layers = root.value(u"layers").toArray();
        QJsonObject first = layers[0].toObject();
        QJsonObject& holder = ofLayer ? first : root;
        QVERIFY(!holder.contains(key));
        if (!stored.isUndefined())
            holder.insert(key, stored);
        layers[0] = first;
        root.insert(u"layers", layers);
        QString error;
        const auto project = ProjectFile::decode(QJsonDocument(root).toJson(), &error);
        QVERIFY2(project, qPrintable(error));
        const Layer& layer = project->layers[0];
        const QJsonValue held = !ofLayer           ? QJsonValue(project->output.webBase)
                                : key == "minSize" ? QJsonValue(layer.minSize)
                                                   : QJsonValue(layer.maxSize);
        QCOMPARE(held, opened);
        // The other bound stays none.
        QCOMPARE(key == "minSize" ? layer.maxSize : layer.minSize, 0);
        const QByteArray saved = ProjectFile::encode(*project);
        const QJsonObject again = QJsonDocument::fromJson(saved).object();
        const QJsonObject savedHolder = ofLayer ? again.value(u"layers")[0].toObject() : again;
        const bool isDefault = opened == QJsonValue("/") || opened == QJsonValue(0);
        QCOMPARE(savedHolder.value(key), isDefault ? QJsonValue(QJsonValue::Undefined) : opened);
        QCOMPARE(saved == valid, isDefault);
    }

    // Each row: text in the valid file, what replaces it, and what the reason must say.
    void badFiles() {
        // PNG headers (sound checksums) claiming 100000 x 100000 and 16384 x 16384 pixels, none
        // behind them: two of the latter are refused as too many pixels, before any is decoded.
        const QByteArray huge = "\"iVBORw0KGgoAAAANSUhEUgABhqAAAYagCAYAAACoUgvIAAAAAElEQVQ1rwYe\"";
        const QByteArray large = "\"iVBORw0KGgoAAAANSUhEUgAAQAAAAEAACAYAAACpyBCEAAAAAElEQVQ1rwYe\"";
        const QByteArray entities = "<!DOCTYPE svg [<!ENTITY a \"b\">]><svg>&a;</svg>";
        // Whole files, then values replacing every value of a key (up to its line's end or comma).
        const QList<QByteArrayList> rows{
            {"", "", "not a"},
            {"", "hello", "not a"},
            {"", "[1]", "not a"},
            {"", valid.left(valid.size() / 2), "damaged"},
            {"format", "1", "not a"},
            {"version", "7", "format 7"},
            {"version", "\"1\"", "not a"},
            {"style", "5, \"s\": {", "style"},
            {"layers", "5, \"l\": [", "pictures"},
            {"layers", "[5,", "picture 1"},
            {"x", "\"0\"", "picture 1"},
            {"y", "1e300", "picture 1"},
            {"scale", "2.5", "picture 1"},
            {"scale", "10001", "picture 1"},
            {"rotation", "-400000", "picture 1"},
            {"name", "3", "picture 1"},
            {"data", "\"@@\"", "picture 1"},
            {"data", "\"bm90IGEgcGljdHVyZQ==\"", "picture 1 (p0.png) cannot"},
            {"data", "\"*9\"", "picture 1 (p0.png) cannot"},
            {"data", huge, "picture 1 (p0.png) is too large: 100000 x 100000"},
            {"data", large, "too large together: 536,870,912 pixels, at most 268,435,456"},
            {"data", '"' + entities.toBase64() + '"',
             "picture 1 (p0.png) cannot be read: declares XML entities"}};
        for (const QByteArrayList& row : rows) {
            const QString key = QLatin1Char('"') + QString::fromLatin1(row[0]) + "\": ";
            const QByteArray bytes =
                row[0].isEmpty() ? row[1]
                                 : QString::fromLatin1(valid)
                                       .replace(QRegularExpression(key + "[^,\\n]*"), key + row[1])
                                       .toLatin1();
            QString error;
            QVERIFY2(!ProjectFile::decode(bytes, &error), row[1]);
            QVERIFY2(error.contains(QString::fromLatin1(row[2])), qPrintable(error));
        }
        // 64 sizes of each kind are taken, 65 are not.
        for (const int count : {64, 65}) {
            Document sized;
            sized.output.pngSizes.clear();
            for (int size = 1; size <= count; ++size)
                sized.output.pngSizes << size;
            sized.output.iconSizes = sized.output.pngSizes.mid(15);
            QString error;
            const auto read = ProjectFile::decode(ProjectFile::encode(sized), &error);
            QVERIFY2(bool(read) == (count == 64), qPrintable(error));
            QCOMPARE(error, count == 64 ? QString() : QStringLiteral("more than 64 export sizes"));
        }
        // A missing file, and one just over the limit: sparse, so it costs no disk.
        const QString path = dir.filePath(QStringLiteral("huge.glimmer"));
        QVERIFY(writeFileBytes(path, valid) && QFile::resize(path, ProjectFile::maxFileBytes + 1));
        for (const QString& name : {dir.filePath(QStringLiteral("missing")), path}) {
            QString error;
            QVERIFY(!ProjectFile::load(name, &error) && !error.isEmpty());
        }
    }

    // Random damage to a valid file: every answer is a reason, or a project within the limits.
    void mutations() {
#ifdef GLIMMERDOCK_SANITIZE
        const int rounds = 300;
#else
        const int rounds = 3000;
#endif
        const QByteArrayList tokens{"-1",    "1e9",  "0",  "7",  "2.5",
                                    "\"A\"", "true", "[]", "{}", "null"};
        QRandomGenerator fuzz(5);
        for (int round = 0; round < rounds; ++round) {
            QByteArray bytes = valid;
            for (int change = fuzz.bounded(1, 3); change > 0 && !bytes.isEmpty(); --change) {
                const qsizetype at = fuzz.bounded(int(bytes.size())),
                                from = bytes.indexOf("\": ", at) + 3,
                                to = bytes.indexOf('\n', from);
                const int kind = fuzz.bounded(10);
                // Mostly a whole value swapped (comma kept): the JSON stays readable, so the
                // checks behind the parser run. Else a byte flipped, a cut, or a piece spliced in.
                if (kind > 2 && from > 2 && to > from)
                    bytes.replace(from, to - from - (bytes[to - 1] == ','),
                                  tokens[fuzz.bounded(int(tokens.size()))]);
                else
                    bytes.replace(
                        at, kind == 1 ? bytes.size() : fuzz.bounded(3),
                        kind == 0 ? QByteArray(1, char(fuzz.generate()))
                                  : bytes.mid(fuzz.bounded(int(bytes.size())), fuzz.bounded(40)));
            }
            QString error;
            const std::optional<Document> project = ProjectFile::decode(bytes, &error);
            QCOMPARE(project.has_value(), error.isEmpty());
            QSet<int> indexes;
            for (const Layer& layer : project ? project->layers : QList<Layer>()) {
                indexes.insert(layer.index);
                QVERIFY(layer.rect().contains(LayerPixels::made(layer).rect));
                QVERIFY(layer.index >= 0 &&
                        qMax(layer.sourceImage.width(), layer.sourceImage.height()) <=
                            ProjectFile::maxImageSide);
            }
            QVERIFY(!project || indexes.size() == project->layers.size());
        }
    }
};

QTEST_MAIN(TestProject)
#include "tst_project.moc"
