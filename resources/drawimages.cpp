// Draws the application's button pictures and logo, so every picture it ships is its own.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>

#include <functional>

namespace {

QImage paintPicture(QSize size, const std::function<void(QPainter&)>& draw) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return image;
}

void drawRocket(QPainter& p) {
    p.translate(12, 12);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF2, 0x8C, 0x28));
    QPainterPath flame;
    flame.moveTo(-3, 6);
    flame.quadTo(0, 14, 3, 6);
    p.drawPath(flame);
    p.setBrush(QColor(0xC8, 0x3A, 0x3A));
    p.drawPolygon(QPolygonF({{-4, 2}, {-8, 8}, {-3, 6}}));
    p.drawPolygon(QPolygonF({{4, 2}, {8, 8}, {3, 6}}));
    QPainterPath body;
    body.moveTo(0, -11);
    body.cubicTo(5, -6, 5, 2, 3.5, 7);
    body.lineTo(-3.5, 7);
    body.cubicTo(-5, 2, -5, -6, 0, -11);
    p.setPen(QPen(QColor(0x4A, 0x55, 0x68), 1));
    p.setBrush(QColor(0xE8, 0xEC, 0xF2));
    p.drawPath(body);
    p.setBrush(QColor(0x3A, 0x8E, 0xE6));
    p.drawEllipse(QPointF(0, -3), 2, 2);
}

void drawGlobe(QPainter& p) {
    const QRectF globe(2.5, 2.5, 19, 19);
    QRadialGradient sea(QPointF(9, 8), 14);
    sea.setColorAt(0, QColor(0x7F, 0xC8, 0xFF));
    sea.setColorAt(1, QColor(0x1E, 0x6F, 0xC8));
    p.setPen(QPen(QColor(0x15, 0x4E, 0x91), 1.2));
    p.setBrush(sea);
    p.drawEllipse(globe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.drawEllipse(QRectF(8, 2.5, 8, 19));
    p.drawLine(QPointF(12, 2.5), QPointF(12, 21.5));
    p.drawLine(QPointF(2.5, 12), QPointF(21.5, 12));
    p.drawArc(QRectF(3.5, -2, 17, 10), 200 * 16, 140 * 16);
    p.drawArc(QRectF(3.5, 16, 17, 10), 20 * 16, 140 * 16);
}

void drawAbout(QPainter& p) {
    p.setPen(QPen(QColor(0x1D, 0x5F, 0xB0), 1));
    p.setBrush(QColor(0x3A, 0x8E, 0xE6));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(10.5, 5.5, 3, 3));
    p.drawRoundedRect(QRectF(10.5, 10, 3, 9), 1, 1);
}

void drawArrow(QPainter& p, bool up) {
    if (!up) {
        p.translate(0, 24);
        p.scale(1, -1);
    }
    QPainterPath arrow;
    arrow.moveTo(12, 2);
    arrow.lineTo(21, 12);
    arrow.lineTo(15.5, 12);
    arrow.lineTo(15.5, 22);
    arrow.lineTo(8.5, 22);
    arrow.lineTo(8.5, 12);
    arrow.lineTo(3, 12);
    arrow.closeSubpath();
    QLinearGradient fill(0, 2, 0, 22);
    fill.setColorAt(0, QColor(0x5C, 0xD6, 0x6E));
    fill.setColorAt(1, QColor(0x1F, 0x9A, 0x3A));
    p.setPen(QPen(QColor(0x17, 0x6E, 0x2B), 1));
    p.setBrush(fill);
    p.drawPath(arrow);
}

void drawDelete(QPainter& p) {
    p.setPen(QPen(QColor(0x8E, 0x1B, 0x1B), 1));
    p.setBrush(QColor(0xE0, 0x44, 0x44));
    p.drawRoundedRect(QRectF(4, 7, 16, 15), 2, 2);
    p.drawRoundedRect(QRectF(2.5, 4, 19, 3), 1, 1);
    p.drawRect(QRectF(9, 2, 6, 2));
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.5));
    for (qreal x : {8.5, 12.0, 15.5})
        p.drawLine(QPointF(x, 10), QPointF(x, 19));
}

// A rounded tile with a warm gradient, a dock line and a four-pointed glimmer above it.
void drawLogo(QPainter& p) {
    const QRectF tile(6, 6, 119, 119);
    QLinearGradient back(tile.topLeft(), tile.bottomRight());
    back.setColorAt(0, QColor(0x2B, 0x3F, 0x8C));
    back.setColorAt(1, QColor(0x6A, 0x2C, 0x91));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(tile, 26, 26);
    p.setBrush(QColor(255, 255, 255, 40));
    p.drawEllipse(QRectF(14, -50, 103, 110));
    p.setBrush(QColor(0xFF, 0xC8, 0x3D));
    p.drawRoundedRect(QRectF(26, 92, 79, 10), 5, 5);
    QPainterPath star;
    const QPointF c(65.5, 56);
    star.moveTo(c.x(), c.y() - 34);
    star.quadTo(c.x() + 4, c.y() - 4, c.x() + 28, c.y());
    star.quadTo(c.x() + 4, c.y() + 4, c.x(), c.y() + 30);
    star.quadTo(c.x() - 4, c.y() + 4, c.x() - 28, c.y());
    star.quadTo(c.x() - 4, c.y() - 4, c.x(), c.y() - 34);
    QRadialGradient glow(c, 34);
    glow.setColorAt(0, Qt::white);
    glow.setColorAt(1, QColor(0xFF, 0xE6, 0x9A));
    p.setBrush(glow);
    p.drawPath(star);
}

// The performance tool the promotional dialog advertises: a speed gauge under a swept wing.
void drawHoverwingLogo(QPainter& p) {
    const QRectF disc(4, 4, 88, 88);
    QLinearGradient back(disc.topLeft(), disc.bottomRight());
    back.setColorAt(0, QColor(0x1B, 0x8A, 0x7A));
    back.setColorAt(1, QColor(0x0E, 0x4C, 0x5E));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawEllipse(disc);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 90), 7, Qt::SolidLine, Qt::RoundCap));
    const QRectF dial(20, 24, 56, 56);
    p.drawArc(dial, -30 * 16, 240 * 16);
    p.setPen(QPen(QColor(0xFF, 0xC8, 0x3D), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(dial, 90 * 16, 120 * 16);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(48, 52), QPointF(64, 34));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(48, 52), 5, 5);
    QPainterPath wing;
    wing.moveTo(22, 74);
    wing.cubicTo(38, 62, 58, 62, 76, 70);
    wing.cubicTo(60, 70, 44, 74, 30, 82);
    wing.closeSubpath();
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawPath(wing);
}

// A made-up window of that tool: what a user would see after a scan.
void drawHoverwingScreenshot(QPainter& p) {
    const QRectF window(0, 0, 400, 250);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF4, 0xF6, 0xF8));
    p.drawRect(window);
    p.setBrush(QColor(0x0E, 0x4C, 0x5E));
    p.drawRect(QRectF(0, 0, 400, 26));
    p.save();
    p.translate(5, 3);
    p.scale(20.0 / 96, 20.0 / 96);
    drawHoverwingLogo(p);
    p.restore();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(32, 0, 300, 26), Qt::AlignVCenter, QStringLiteral("Hoverwing"));

    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(12, 38, 130, 200), 6, 6);
    p.save();
    p.translate(29, 52);
    drawHoverwingLogo(p);
    p.restore();
    font.setPixelSize(20);
    p.setFont(font);
    p.setPen(QColor(0x0E, 0x4C, 0x5E));
    p.drawText(QRectF(12, 156, 130, 26), Qt::AlignCenter, QStringLiteral("92"));
    font.setPixelSize(10);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(0x55, 0x60, 0x6E));
    p.drawText(QRectF(12, 182, 130, 16), Qt::AlignCenter, QStringLiteral("speed score"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1B, 0x8A, 0x7A));
    p.drawRoundedRect(QRectF(26, 206, 102, 22), 11, 11);
    p.setPen(Qt::white);
    p.drawText(QRectF(26, 206, 102, 22), Qt::AlignCenter, QStringLiteral("Optimize now"));

    const struct {
        const char* label;
        qreal share;
        QColor color;
    } rows[] = {
        {"Start-up programs", 0.72, QColor(0xF2, 0x8C, 0x28)},
        {"Temporary files", 0.55, QColor(0x3A, 0x8E, 0xE6)},
        {"Background services", 0.38, QColor(0x8E, 0x5C, 0xD6)},
        {"Memory in use", 0.46, QColor(0x1F, 0x9A, 0x3A)},
        {"Disk space free", 0.81, QColor(0x1B, 0x8A, 0x7A)},
    };
    qreal y = 44;
    for (const auto& row : rows) {
        p.setPen(QColor(0x33, 0x3B, 0x46));
        p.drawText(QRectF(156, y, 230, 14), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(row.label));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xDD, 0xE2, 0xE8));
        p.drawRoundedRect(QRectF(156, y + 17, 228, 10), 5, 5);
        p.setBrush(row.color);
        p.drawRoundedRect(QRectF(156, y + 17, 228 * row.share, 10), 5, 5);
        y += 39;
    }
}

// The application's own icon is the About logo, drawn afresh at each size so no size is a blur.
void drawApplicationIcon(QPainter& p, int edge) {
    p.scale(edge / 131.0, edge / 131.0);
    drawLogo(p);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    // The resources folder: button pictures go to images/, the application icon to icons/.
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    struct Picture {
        QString name;
        QSize size;
        std::function<void(QPainter&)> draw;
    };
    QList<Picture> pictures = {
        {"images/rocket24.png", {24, 24}, drawRocket},
        {"images/websiteIcon24.png", {24, 24}, drawGlobe},
        {"images/About24.png", {24, 24}, drawAbout},
        {"images/ArrowUp24.png", {24, 24}, [](QPainter& p) { drawArrow(p, true); }},
        {"images/ArrowDown24.png", {24, 24}, [](QPainter& p) { drawArrow(p, false); }},
        {"images/Delete24.png", {24, 24}, drawDelete},
        {"images/AboutLogo.png", {131, 131}, drawLogo},
        {"images/HoverwingLogo.png", {96, 96}, drawHoverwingLogo},
        {"images/HoverwingScreenshot.png", {400, 250}, drawHoverwingScreenshot},
    };
    // The sizes Linux desktops look for in the hicolor theme.
    for (int edge : {16, 22, 24, 32, 48, 64, 128, 256})
        pictures.append({QStringLiteral("icons/glimmerdock-%1.png").arg(edge),
                         {edge, edge},
                         [edge](QPainter& p) { drawApplicationIcon(p, edge); }});
    folder.mkpath(QStringLiteral("images"));
    folder.mkpath(QStringLiteral("icons"));
    int failures = 0;
    for (const Picture& picture : pictures) {
        const QString path = folder.filePath(picture.name);
        if (!paintPicture(picture.size, picture.draw).save(path, "PNG")) {
            QTextStream(stderr) << "Cannot write " << path << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
