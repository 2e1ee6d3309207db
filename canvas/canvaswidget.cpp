#include "canvaswidget.h"

#include "canvas/canvasrules.h"
#include "document/editeddocument.h"
#include "document/projectfile.h"
#include "document/useraction.h"
#include "picture/pictureintake.h"
#include "picture/picturelimits.h"
#include "render/icongeometry.h"
#include "render/sizedicon.h"
#include "trace/trace.h"

#include <QBuffer>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

CanvasWidget::CanvasWidget(QWidget* parent) : QWidget(parent) {
    // Qt's default budget refuses an ordinary 10000 x 10000 photo; a picture whose header claims
    // far more than this is still refused before anything is allocated.
    QImageReader::setAllocationLimit(PictureLimits::allocationLimitMB);
    setFocusPolicy(Qt::StrongFocus);
    // Behind the icon on the screen only: a checkerboard where it is transparent and the edge of
    // the icon square, so it is clear where the icon is. Never part of a rendering.
    QPalette ground = palette();
    ground.setBrush(QPalette::Window, QBrush(CanvasRules::canvasGround()));
    setPalette(ground);
    setAutoFillBackground(true);
    // Escape stops a read on the side, so the keys come here while it runs.
    connect(&pictureReading, &PictureReading::reading, this, [this](const QString& what) {
        if (!what.isEmpty())
            setFocus(Qt::OtherFocusReason);
        emit reading(what);
    });
}

void CanvasWidget::setDocument(EditedDocument* document) {
    edited = document;
    connect(edited, &EditedDocument::changed, this, [this] {
        sizedIcon = QImage();
        update();
    });
    update();
}

void CanvasWidget::showAtSize(int size) {
    if (size == atSize)
        return;
    atSize = size;
    sizedIcon = QImage();
    update();
}

int CanvasWidget::canvasFactor() const {
    return edited ? edited->document().style.canvasFactor : 1;
}

QRect CanvasWidget::selectedRect() const {
    if (!edited || !edited->document().hasSelection())
        return QRect(-1, -1, -1, -1);
    const Document& document = edited->document();
    return document.layers.at(document.selected).rect();
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !edited)
        return;
    const QPoint point = event->position().toPoint();
    const int k = canvasFactor();
    // A layer not drawn at the size shown cannot be picked there.
    const int hit =
        CanvasRules::hitTest(edited->document().layers, CanvasRules::probeRect(point, k), atSize);
    // A click where no picture is keeps the selection, so a slip of the mouse beside a picture
    // does not lose it (Escape deselects); it drags nothing.
    isDragging = hit >= 0;
    if (isDragging) {
        edited->select(hit);
        pressPoint = point;
        pressPosition = edited->document().layers.at(hit).position;
        ++dragCount;
    }
    // Clicked, the canvas takes the keys: Delete and the arrows act on the selected picture.
    setFocus(Qt::MouseFocusReason);
    QWidget::mousePressEvent(event);
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!isDragging || !event->buttons().testFlag(Qt::LeftButton) || !edited ||
        !edited->document().hasSelection())
        return;
    edited->edit(UserActions::moveSelected(CanvasRules::draggedPosition(pressPosition, pressPoint,
                                                                        event->position().toPoint(),
                                                                        canvasFactor()),
                                           QStringLiteral("drag:%1").arg(dragCount)));
}

// Releasing any button ends a drag: with the left button still held, a right click lets go of
// the picture.
void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
    isDragging = false;
    QWidget::mouseReleaseEvent(event);
}

void CanvasWidget::wheelEvent(QWheelEvent* event) {
    if (!edited || !edited->document().hasSelection())
        return;
    const QPoint degrees = CanvasRules::wheelDegrees(event->angleDelta());
    if (!degrees.isNull())
        zoomOrTurn(event, degrees);
}

// Shift turns, taken from the event so it works whether or not the canvas has the keyboard focus;
// with Ctrl a notch goes ten times as far when zooming, fifteen times when turning.
void CanvasWidget::zoomOrTurn(QWheelEvent* event, QPoint degrees) {
    const bool coarse = event->modifiers().testFlag(Qt::ControlModifier);
    const Document& document = edited->document();
    const Layer& layer = document.layers.at(document.selected);
    if (event->modifiers().testFlag(Qt::ShiftModifier)) {
        // Some systems turn a Shift + wheel turn into a sideways one.
        const int turned = degrees.y() != 0 ? degrees.y() : degrees.x();
        const int rotation =
            CanvasRules::stepped(layer.rotation, CanvasRules::wheelSteps(turned), coarse ? 15 : 1,
                                 -maximumRotation, maximumRotation);
        edited->edit(UserActions::turnSelected(document, rotation));
        return;
    }
    edited->edit(UserActions::zoomSelected(
        document, CanvasRules::stepped(layer.scale, CanvasRules::wheelSteps(degrees.y()),
                                       coarse ? 10 : 1, minimumScale, maximumScale)));
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && pictureReading.busy()) {
        emit picturesRefused(
            {PictureIntake::refusalMessage(pictureReading.stop(), tr("reading stopped"))});
        return;
    }
    if (!edited || !edited->document().hasSelection()) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        edited->select(Document::noSelection);
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        edited->edit(UserActions::deleteSelected());
        return;
    }
    const QPoint nudge = CanvasRules::arrowNudge(event->key(), event->modifiers());
    if (nudge.isNull()) {
        QWidget::keyPressEvent(event);
        return;
    }
    const Document& document = edited->document();
    edited->edit(UserActions::moveSelected(document.layers.at(document.selected).position + nudge));
}

void CanvasWidget::paintEvent(QPaintEvent* event) {
    if (!edited)
        return;
    QPainter painter(this);
    if (atSize > 0)
        paintAtSize(painter);
    else
        paintCanvas(painter);
    // The keys act on the canvas only while it has the focus, so the user must see when it does.
    if (hasFocus()) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
    QWidget::paintEvent(event);
}

void CanvasWidget::paintCanvas(QPainter& painter) {
    const Document& document = edited->document();
    // Composed at the screen's own pixels, so text and edges are as sharp as the window's at
    // 150 % and 200 %; larger canvas sizes are scaled down to it, so their pictures are drawn from
    // their sources only where the screen shows more pixels than the canvas has.
    const qreal ratio = devicePixelRatioF();
    const int k = document.style.canvasFactor;
    renderer.setCanvasFactor(k);
    renderer.setPixelRatio(ratio, ratio / k);
    const QImage composed = renderer.renderCanvas(document.style, document.layers, selectedRect());
    // Where on the screen, so a script driving the real window knows where to drop and look.
    qCDebug(lcCanvas) << composed.size() << "shown at" << QRect(mapToGlobal(QPoint(0, 0)), size());
    const QSize onScreen = QSize(300, 300) * ratio;
    QImage shown = composed.size() == onScreen
                       ? composed
                       : composed.scaled(onScreen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(ratio);
    painter.drawImage(0, 0, shown);
}

// Each pixel of the small icon a block of the screen's, so what a size loses is seen; the
// selected layer's frame where it is drawn at this size.
void CanvasWidget::paintAtSize(QPainter& painter) {
    const Document& document = edited->document();
    if (sizedIcon.isNull())
        sizedIcon = iconAtSize(document, atSize);
    const int k = document.style.canvasFactor;
    const QRect square = IconGeometry::iconRect(k);
    const QRect onWidget(square.topLeft() / k, square.size() / k);
    painter.drawImage(onWidget, sizedIcon);
    if (document.hasSelection() && shownAtSize(document.layers.at(document.selected), atSize)) {
        const QRect frame = selectedRect();
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(QRectF(frame.topLeft() / qreal(k), frame.size() / qreal(k)));
    }
}

// Any local file makes a drag worth taking: what is not a picture is told at the drop.
void CanvasWidget::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (std::any_of(urls.cbegin(), urls.cend(), [](const QUrl& url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
    else
        event->ignore();
}

void CanvasWidget::dropEvent(QDropEvent* event) {
    const QPointF position = event->position();
    const QPoint cursorPoint(int(std::lround(position.x())), int(std::lround(position.y())));
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths << url.toLocalFile();
    event->acceptProposedAction();
    if (!paths.isEmpty() && isProjectFile(paths.constFirst())) {
        emit projectDropped(paths.constFirst());
        return;
    }
    addFiles(paths, cursorPoint);
}

void CanvasWidget::addFiles(const QStringList& paths, QPoint widgetPoint) {
    if (pictureReading.busy()) {
        emit picturesRefused({PictureIntake::refusalMessage(
            paths.size() == 1 ? QFileInfo(paths.constFirst()).fileName() : tr("the files"),
            tr("another picture is still being read (Escape stops it)"))});
        return;
    }
    pictureReading.read(paths, [this, widgetPoint](const PictureReading::Result& result) {
        addPictures(result.taken, widgetPoint);
        if (!result.refused.isEmpty())
            emit picturesRefused(result.refused);
    });
}

// Every picture of one drop is one step; the last one added is selected.
void CanvasWidget::addPictures(const QList<std::pair<QString, PictureIntake::Picture>>& pictures,
                               QPoint widgetPoint) {
    if (pictures.isEmpty() || !edited)
        return;
    edited->edit(UserActions::addPictures(pictures, widgetPoint));
}

void CanvasWidget::paste(const QMimeData* data) {
    // An empty clipboard may offer no data at all.
    const QMimeData nothing;
    if (!data)
        data = &nothing;
    const QPoint centre(150, 150);
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    if (paths.isEmpty() && data->hasText())
        paths = CanvasRules::pastedPaths(data->text());
    if (!paths.isEmpty())
        return addFiles(paths, centre);
    QString name;
    const QByteArray bytes = pastedBytes(data, name);
    const PictureIntake::Picture picture =
        bytes.isEmpty() ? PictureIntake::Picture() : PictureIntake::decode(bytes);
    if (bytes.isEmpty() || !picture.refusal.isEmpty()) {
        const QString why = !bytes.isEmpty() ? picture.refusal
                            : data->hasText()
                                ? tr("its text is not a picture, a file's path or SVG")
                                : tr("no picture in it");
        emit picturesRefused({PictureIntake::refusalMessage(tr("the clipboard"), why)});
        return;
    }
    addPictures({{name, picture}}, centre);
}

// The picture on the clipboard as the bytes of a file, and a name for it: SVG as it is (given as
// SVG or as its text), a picture offered as a file's bytes as they are, anything else as a PNG of
// the picture.
QByteArray CanvasWidget::pastedBytes(const QMimeData* data, QString& name) {
    const QString svgType = QStringLiteral("image/svg+xml");
    name = QStringLiteral("pasted.svg");
    if (data->hasFormat(svgType))
        return data->data(svgType);
    if (data->hasText() && data->text().trimmed().startsWith(QLatin1String("<")) &&
        data->text().contains(QLatin1String("<svg")))
        return data->text().toUtf8();
    // A picture another program offers as a file's bytes is taken as those bytes, decoded by a
    // picture helper as a file is, not by the clipboard here.
    for (const char* suffix : {"png", "jpeg", "gif", "webp", "bmp", "tiff"}) {
        const QString type = QStringLiteral("image/") + QLatin1String(suffix);
        if (data->hasFormat(type) && !data->data(type).isEmpty()) {
            name = QStringLiteral("pasted.") + QLatin1String(suffix);
            return data->data(type);
        }
    }
    name = QStringLiteral("pasted.png");
    const QImage image = qvariant_cast<QImage>(data->imageData());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (image.isNull() || !buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return QByteArray();
    return bytes;
}

bool CanvasWidget::isProjectFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() &&
           info.suffix().compare(QLatin1String(ProjectFile::suffix), Qt::CaseInsensitive) == 0;
}
