#include "benchdocument.h"

#include "support/testsupport.h"

#include <QApplication>
#include <QColorSpace>
#include <QFile>
#include <QFontMetrics>
#include <QImageWriter>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QMap>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace BenchDocument {

namespace {

const QSize photoSizes[] = {{1600, 1200}, {1024, 768}, {800, 600}, {640, 480}, {2000, 1500}};
const QSize drawingSizes[] = {{512, 512}, {700, 500}, {400, 400}, {1024, 1024}, {256, 256}};

// A landscape: sky, sun, hills and a field of small marks, so the JPEG is a real photograph's
// size and its decoding real work.
QImage photograph(QSize size, int seed) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor::fromHsv((200 + 17 * seed) % 360, 160, 230));
    sky.setColorAt(1, QColor::fromHsv((30 + 11 * seed) % 360, 90, 250));
    painter.fillRect(image.rect(), sky);
    QRadialGradient sun(size.width() * 0.7, size.height() * 0.3, size.height() * 0.15);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(1, QColor(255, 200, 90, 0));
    painter.fillRect(image.rect(), sun);
    for (int hill = 0; hill < 3; ++hill) {
        QPainterPath path;
        const double base = size.height() * (0.55 + 0.12 * hill);
        path.moveTo(0, size.height());
        for (int x = 0; x <= size.width(); x += size.width() / 16)
            path.lineTo(x, base - ((x * (seed + 3) + hill * 97) % 131) * size.height() / 900.0);
        path.lineTo(size.width(), size.height());
        painter.fillPath(path,
                         QColor::fromHsv((90 + 25 * hill + seed * 7) % 360, 150, 160 - 30 * hill));
    }
    for (int mark = 0; mark < 400; ++mark) {
        const int x = (mark * 7919 + seed * 104729) % size.width();
        const int y = size.height() / 2 + (mark * 6007) % (size.height() / 2);
        painter.fillRect(x, y, 3 + mark % 5, 2 + mark % 3,
                         QColor::fromHsv((mark * 37) % 360, 120, 200));
    }
    return image;
}

// A camera's grain, up to 8 levels either way, so the JPEG decodes like a photograph straight
// from a camera and not like a flat drawing.
void addSensorNoise(QImage& image) {
    quint32 state = 12345;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            const int grain = int(state >> 28) - 8;
            line[x] = qRgb(std::clamp(qRed(line[x]) + grain, 0, 255),
                           std::clamp(qGreen(line[x]) + grain, 0, 255),
                           std::clamp(qBlue(line[x]) + grain, 0, 255));
        }
    }
}

// A logo-like drawing on a transparent ground: rings and a star with soft edges.
QImage drawing(QSize size, int seed) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double radius = std::min(size.width(), size.height()) * 0.45;
    QRadialGradient disc(centre, radius);
    disc.setColorAt(0, QColor::fromHsv((40 * seed) % 360, 200, 255, 255));
    disc.setColorAt(0.8, QColor::fromHsv((40 * seed + 60) % 360, 220, 200, 220));
    disc.setColorAt(1, QColor::fromHsv((40 * seed + 90) % 360, 220, 160, 0));
    painter.setBrush(disc);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(centre, radius, radius);
    QPainterPath star;
    for (int point = 0; point < 10; ++point) {
        const double r = point % 2 ? radius * 0.35 : radius * 0.8;
        const QPointF at =
            centre + QPointF(r * std::sin(point * M_PI / 5), -r * std::cos(point * M_PI / 5));
        point == 0 ? star.moveTo(at) : star.lineTo(at);
    }
    star.closeSubpath();
    painter.setPen(QPen(QColor(40, 40, 60, 200), radius / 30));
    painter.setBrush(QColor(255, 255, 255, 170));
    painter.drawPath(star);
    return image;
}

// Widget points spread over the canvas, where the pictures are dropped.
QPoint dropPoint(int i) {
    return QPoint(70 + (i % 4) * 55, 70 + (i / 4) * 70);
}

} // namespace

void prepareProcess() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("glimmerdock.*.debug=false"));
}

void initApplication() {
    TestSupport::initTestEnvironment();
}

QStringList writePictures(const QString& folder, int count) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const bool photo = i % 2 == 0;
        const QSize size = photo ? photoSizes[(i / 2) % 5] : drawingSizes[(i / 2) % 5];
        const QString path =
            QStringLiteral("%1/picture%2.%3").arg(folder).arg(i).arg(photo ? "jpg" : "png");
        QImageWriter writer(path);
        if (photo)
            writer.setQuality(90);
        if (writer.write(photo ? photograph(size, i) : drawing(size, i)))
            paths << path;
    }
    return paths;
}

QStringList writePhotographs(const QString& folder, int count, QSize size) {
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        const QString path = QStringLiteral("%1/photo%2.jpg").arg(folder).arg(i);
        QImageWriter writer(path);
        writer.setQuality(90);
        if (writer.write(photograph(size, i)))
            paths << path;
    }
    return paths;
}

QString writeCameraPhotograph(const QString& folder, QSize size, bool profiled) {
    const QString path = QStringLiteral("%1/camera%2.jpg").arg(folder, profiled ? "-profiled" : "");
    QImage stored = photograph(size.transposed(), 1);
    addSensorNoise(stored);
    if (profiled)
        stored.setColorSpace(QColorSpace::AdobeRgb);
    QImageWriter writer(path);
    writer.setQuality(90);
    if (!writer.write(stored))
        return {};
    // An APP1 segment right after the start marker: big-endian TIFF header, one IFD entry,
    // Orientation (0x112) = 6, "turn clockwise to show".
    const QByteArray exif = QByteArray::fromHex("ffe10022457869660000"
                                                "4d4d002a00000008"
                                                "0001"
                                                "011200030000000100060000"
                                                "00000000");
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return {};
    const QByteArray jpeg = file.readAll().insert(2, exif);
    file.seek(0);
    return file.write(jpeg) == jpeg.size() ? path : QString();
}

IconStyle fullStyle() {
    IconStyle style;
    style.shape = int(ContainerShape::RoundedRectangle);
    style.radius = 40;
    style.useBackground = true;
    style.backStyle = int(BackStyle::Gradient);
    style.backOrientation = int(GradientOrientation::TopLeftDownRight);
    style.backColor1 = QColor(0x2a, 0x6f, 0xdb);
    style.backColor2 = QColor(0xf5, 0xd0, 0x4c);
    style.useBack3dEffect = true;
    style.useBorder = true;
    style.useGlossy = true;
    style.clipImage = true;
    style.useBadge = true;
    style.badgeOrientation = int(BadgeOrientation::Diagonal);
    style.badgeOrientationDiagonal = 3;
    style.badgeTextFont.setPixelSize(style.badgeTextSize);
    style.badgeTextFont.setWeight(QFont::Bold);
    return style;
}

bool smokeRun() {
    return !qEnvironmentVariableIsEmpty("GLIMMERDOCK_BENCH_SMOKE");
}

void fail(const QString& what) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(what));
    std::exit(1);
}

void dropPictures(CanvasWidget& canvas, const Document& shown, const QStringList& paths) {
    for (int i = 0; i < paths.size(); ++i) {
        const qsizetype before = shown.layers.size();
        if (!TestSupport::dropFiles(&canvas, dropPoint(i), {paths.at(i)}))
            fail(QStringLiteral("the canvas refused the drop of %1").arg(paths.at(i)));
        if (!QTest::qWaitFor([&] { return shown.layers.size() > before; }, 120000))
            fail(QStringLiteral("%1 was dropped but never became a layer").arg(paths.at(i)));
        selectedLayer(shown);
        // The drop selected the picture it added; Shift + wheel turns it a degree a notch.
        if (i % 3 == 1)
            turnWheel(canvas, 10 + 7 * i, Qt::ShiftModifier);
    }
}

const Layer& selectedLayer(const Document& document) {
    if (!document.hasSelection())
        fail(QStringLiteral("no picture is selected"));
    return document.layers.at(document.selected);
}

void turnWheel(CanvasWidget& canvas, int notches, Qt::KeyboardModifiers modifiers) {
    TestSupport::wheelOver(&canvas, QPoint(0, 120 * notches), modifiers);
}

QList<Layer> pictures(int k, int count) {
    static QMap<std::pair<int, int>, QList<Layer>> built;
    static QTemporaryDir folder;
    const auto key = std::make_pair(k, count);
    if (!built.contains(key)) {
        Document empty;
        empty.style = fullStyle();
        empty.style.canvasFactor = k;
        ShownCanvas shown(empty);
        dropPictures(shown.canvas, shown.edited.document(), writePictures(folder.path(), count));
        built.insert(key, shown.edited.document().layers);
    }
    return built.value(key);
}

Document document(int k, int count) {
    Document made;
    made.style = fullStyle();
    made.style.canvasFactor = k;
    made.layers = pictures(k, count);
    return made;
}

ShownCanvas::ShownCanvas(const Document& document) {
    edited.reset(document);
    canvas.setDocument(&edited);
    canvas.setFixedSize(300, 300);
    canvas.setAcceptDrops(true);
    canvas.show();
    if (!QTest::qWaitForWindowExposed(&canvas))
        qWarning("The canvas was never shown; paints may be skipped.");
}

QPoint pointOnTopPicture(const Document& document) {
    if (document.layers.isEmpty())
        return QPoint(150, 150);
    return document.layers.constLast().rect().center() / document.style.canvasFactor;
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint point, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(point), QPointF(widget->mapToGlobal(point)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void drag(CanvasWidget& canvas, QPoint from, QPoint to) {
    sendMouse(&canvas, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(&canvas, QEvent::MouseMove, to, Qt::LeftButton);
    sendMouse(&canvas, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

} // namespace BenchDocument
