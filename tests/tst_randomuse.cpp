#include "canvas/kbwidget.h"
#include "form/brasswickform.h"
#include "form/kblistwidget.h"
#include "model/localglobal.h"
#include "support/dropsupport.h"
#include "support/shownform.h"
#include "support/testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSet>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using LocalGlobal::imageName;
using LocalGlobal::LImageData;

namespace {

// The sanitizer build runs several times slower; it walks a shorter way with the same steps.
#ifdef GLIMMERDOCK_SANITIZE
constexpr int defaultSteps = 2000;
#else
constexpr int defaultSteps = 5000;
#endif
constexpr quint32 defaultSeed = 20240611;
// Bounds the memory a run can take: beyond this many pictures a drop becomes a deletion.
constexpr int mostPictures = 12;

int environmentNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// The form shown offscreen and one random user: each step is one action a person could take,
// described so that a failing run can be told and replayed.
class RandomUser {
public:
    RandomUser(quint32 seed, const QStringList& pictures) : random(seed), pictures(pictures) {}

    QString act() {
        using Action = QString (RandomUser::*)();
        static const std::pair<int, Action> actions[] = {
            {5, &RandomUser::dropPictures}, {4, &RandomUser::clickCanvas},
            {6, &RandomUser::dragOnCanvas}, {5, &RandomUser::turnWheel},
            {5, &RandomUser::clickRow},     {3, &RandomUser::pressUp},
            {3, &RandomUser::pressDown},    {4, &RandomUser::deletePicture},
            {3, &RandomUser::dragRow},      {5, &RandomUser::editObjectSpinBox},
            {8, &RandomUser::changeStyle},  {2, &RandomUser::changeCanvasSize},
        };
        int total = 0;
        for (const auto& [weight, action] : actions)
            total += weight;
        int pick = number(0, total - 1);
        for (const auto& [weight, action] : actions) {
            if (pick < weight)
                return (this->*action)();
            pick -= weight;
        }
        return {};
    }

    // Why the document, the list and the canvas disagree, or an empty text when they agree.
    QString breach() {
        const int count = int(LImageData.size());
        QSet<int> indexes;
        for (const ImageData& object : std::as_const(LImageData)) {
            const QString name = imageName(object.index);
            if (object.rect.topLeft() != object.position)
                return name + QStringLiteral(": rect does not start at position");
            if (object.rect.size() != object.image.size())
                return name + QStringLiteral(": rect is not the picture's size");
            if (indexes.contains(object.index))
                return name + QStringLiteral(": index used twice");
            indexes.insert(object.index);
        }
        KBListWidget* rows = list();
        if (rows->count() != count)
            return QStringLiteral("%1 rows for %2 objects").arg(rows->count()).arg(count);
        for (int row = 0; row < count; ++row) {
            if (rows->item(row)->text() != imageName(LImageData.at(count - 1 - row).index))
                return QStringLiteral("row %1 is %2").arg(row).arg(rows->item(row)->text());
        }
        const QList<QListWidgetItem*> selected = rows->selectedItems();
        if (!selected.isEmpty() && canvas()->getSelectIndex() != count - 1 - rows->row(selected[0]))
            return QStringLiteral("row %1 selected, object %2 on the canvas")
                .arg(rows->row(selected[0]))
                .arg(canvas()->getSelectIndex());
        const int k = canvas()->getSizeIndex();
        if (k != get<QComboBox>("canvasSizeComboBox")->currentIndex() + 1)
            return QStringLiteral("canvas size %1 not the one chosen").arg(k);
        QImage icon;
        if (canvas()->renderIcon(icon).size() != QSize(256 * k, 256 * k))
            return QStringLiteral("render of %1 x %2").arg(icon.width()).arg(icon.height());
        return {};
    }

private:
    TestSupport::ShownForm shown;
    QRandomGenerator random;
    QStringList pictures;

    template <class T> T* get(const char* name) { return shown.get<T>(name); }
    KBWidget* canvas() { return shown.canvas(); }
    KBListWidget* list() { return get<KBListWidget>("listWidget"); }

    int number(int low, int high) { return int(random.bounded(low, high + 1)); }
    bool chance(int percent) { return number(1, 100) <= percent; }
    QPoint canvasPoint(int margin = 0) {
        return QPoint(number(-margin, 299 + margin), number(-margin, 299 + margin));
    }
    static QString at(QPoint point) {
        return QStringLiteral(" at %1,%2").arg(point.x()).arg(point.y());
    }

    // Half the time a point on a picture, as a person aims at what they want to move.
    QPoint aimedPoint() {
        if (LImageData.isEmpty() || chance(50))
            return canvasPoint();
        const QRect rect = LImageData.at(number(0, int(LImageData.size()) - 1)).rect;
        const int k = canvas()->getSizeIndex();
        return QPoint(qBound(0, rect.center().x() / k, 299), qBound(0, rect.center().y() / k, 299));
    }

    // Brings the page holding `widget` to the front; answers whether the user can now see it.
    bool reveal(QWidget* widget) {
        auto* tabs = get<QTabWidget>("tabWidget");
        for (int page = 0; page < tabs->count(); ++page) {
            if (tabs->widget(page)->isAncestorOf(widget))
                tabs->setCurrentIndex(page);
        }
        return widget->isVisible();
    }

    QString dropPictures() {
        const int count = number(1, 2);
        if (LImageData.size() + count > mostPictures)
            return QStringLiteral("full: ") + deletePicture();
        QStringList files;
        for (int i = count; i > 0; --i)
            files << pictures.at(number(0, int(pictures.size()) - 1));
        const QPoint point = canvasPoint();
        TestSupport::dropFiles(canvas(), point, files);
        QStringList names;
        for (const QString& file : std::as_const(files))
            names << QFileInfo(file).fileName();
        return QStringLiteral("drop ") + names.join(QLatin1Char(' ')) + at(point);
    }

    QString clickCanvas() {
        const QPoint point = aimedPoint();
        QTest::mouseClick(canvas(), Qt::LeftButton, {}, point);
        return QStringLiteral("click canvas") + at(point);
    }

    QString dragOnCanvas() {
        const QPoint from = aimedPoint();
        QString description = QStringLiteral("drag canvas") + at(from);
        QTest::mousePress(canvas(), Qt::LeftButton, {}, from);
        QPoint point = from;
        for (int i = number(1, 3); i > 0; --i) {
            point = canvasPoint(60);
            QTest::mouseMove(canvas(), point);
            description += QStringLiteral(" to") + at(point).mid(3);
        }
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, point);
        return description;
    }

    QString turnWheel() {
        const int angle = (chance(50) ? 1 : -1) * number(1, 3) * 120;
        const bool shift = chance(50);
        TestSupport::wheelOver(canvas(), QPoint(0, angle),
                               shift ? Qt::ShiftModifier : Qt::NoModifier);
        return QStringLiteral("wheel %1%2").arg(angle).arg(shift ? " with Shift" : "");
    }

    QString clickRow() {
        KBListWidget* rows = list();
        if (rows->count() == 0)
            return QStringLiteral("click row: no rows");
        const int row = number(0, rows->count() - 1);
        rows->scrollToItem(rows->item(row));
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          rows->visualItemRect(rows->item(row)).center());
        return QStringLiteral("click row %1").arg(row);
    }

    QString press(const char* button) {
        QTest::mouseClick(get<QToolButton>(button), Qt::LeftButton);
        return QStringLiteral("press ") + QString::fromLatin1(button);
    }
    QString pressUp() { return press("upToolButton"); }
    QString pressDown() { return press("downToolButton"); }
    // Mostly of a row just picked; sometimes of whatever is selected, maybe nothing.
    QString deletePicture() {
        const QString picked = chance(70) ? clickRow() + QStringLiteral(", ") : QString();
        return picked + press("deleteToolButton");
    }

    // Offscreen cannot run a real drag, so the drop is what the list would announce: the row is
    // picked by a click first, then the list's own signal, and for drops the list carries out
    // itself, the move of the row that follows.
    QString dragRow() {
        KBListWidget* rows = list();
        if (rows->count() == 0)
            return QStringLiteral("drag row: no rows");
        const QString picked = clickRow();
        if (rows->selectedItems().isEmpty())
            return picked;
        const int oldPos = rows->row(rows->selectedItems().first());
        const auto place = RowDropPlace(number(0, 3));
        const int over = place == RowDropPlace::OnViewport ? -1 : number(0, rows->count() - 1);
        const int newPos = droppedRowTarget(place, oldPos, over, rows->count());
        if (receiverMovesDroppedRow(place)) {
            Q_EMIT rows->needToMoveitem(oldPos, newPos);
        } else {
            Q_EMIT rows->itemMoved(oldPos, newPos);
            rows->model()->moveRow(QModelIndex(), oldPos, QModelIndex(),
                                   newPos > oldPos ? newPos + 1 : newPos);
        }
        return QStringLiteral("%1, drag it to %2 (place %3)")
            .arg(picked)
            .arg(newPos)
            .arg(int(place));
    }

    // Types the number, or half the time steps the box there as the arrows would.
    QString setSpinBox(const char* name, int low, int high) {
        auto* box = get<QSpinBox>(name);
        if (!reveal(box))
            return QString::fromLatin1(name) + QStringLiteral(": hidden");
        const int value = number(low, high);
        if (chance(50)) {
            QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(box, QString::number(value));
            QTest::keyClick(box, Qt::Key_Return);
            return QStringLiteral("type %1 in %2").arg(value).arg(QString::fromLatin1(name));
        }
        box->setValue(value);
        return QStringLiteral("set %1 to %2").arg(QString::fromLatin1(name)).arg(value);
    }

    QString editObjectSpinBox() {
        switch (number(0, 3)) {
        case 0:
            return setSpinBox("positionXSpinBox", -400, 1200);
        case 1:
            return setSpinBox("positionYSpinBox", -400, 1200);
        case 2:
            // Up to 300 percent: enough to cover the largest canvas, small enough for memory.
            return setSpinBox("sizeSpinBox", 1, 300);
        default:
            return setSpinBox("rotateSpinBox", -360, 360);
        }
    }

    // Chooses a list item with the keyboard: Home, then Down to the wanted row.
    QString choose(const char* name) {
        auto* box = get<QComboBox>(name);
        if (!reveal(box))
            return QString::fromLatin1(name) + QStringLiteral(": hidden");
        const int index = number(0, box->count() - 1);
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < index; ++i)
            QTest::keyClick(box, Qt::Key_Down);
        return QStringLiteral("choose %1 in %2").arg(index).arg(QString::fromLatin1(name));
    }

    QString clickCheckBox(const char* name) {
        auto* box = get<QCheckBox>(name);
        if (!reveal(box))
            return QString::fromLatin1(name) + QStringLiteral(": hidden");
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
        return QStringLiteral("click ") + QString::fromLatin1(name);
    }

    QString typeBadgeText() {
        auto* edit = get<QLineEdit>("badgeTextLineEdit");
        if (!reveal(edit))
            return QStringLiteral("badge text: hidden");
        static const QString texts[] = {QStringLiteral("NEW"), QStringLiteral("50% OFF"),
                                        QStringLiteral("Beta 2"), QString()};
        const QString text = texts[number(0, 3)];
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
        return QStringLiteral("type badge text \"%1\"").arg(text);
    }

    QString nextFont() {
        auto* box = get<QFontComboBox>("badgeFontComboBox");
        if (!reveal(box))
            return QStringLiteral("font: hidden");
        QTest::keyClick(box, chance(50) ? Qt::Key_Down : Qt::Key_Up);
        return QStringLiteral("step the font");
    }

    QString changeStyle() {
        switch (number(0, 17)) {
        case 0:
            return choose("shapeComboBox");
        case 1:
            return choose("backStyleComboBox");
        case 2:
            return choose("backOrientationComboBox");
        case 3:
            return choose("badgeOrientationComboBox");
        case 4:
            return choose("badgePositionComboBox");
        case 5:
            return clickCheckBox("clipImageCheckBox");
        case 6:
            return clickCheckBox("backCheckBox");
        case 7:
            return clickCheckBox("_3dEffectCheckBox");
        case 8:
            return clickCheckBox("borderCheckBox");
        case 9:
            return clickCheckBox("glossyCheckBox");
        case 10:
            return clickCheckBox("badgeCheckBox");
        case 11:
            return setSpinBox("radiusSpinBox", 0, 360);
        case 12:
            return setSpinBox("borderWidthSpinBox", 0, 360);
        case 13:
            return setSpinBox("badgeTextSizeSpinBox", 0, 360);
        case 14:
            return setSpinBox("badgeLineWidthSpinBox", 0, 20);
        case 15:
            return typeBadgeText();
        case 16:
            return nextFont();
        default:
            return choose("outputComboBox");
        }
    }

    QString changeCanvasSize() { return choose("canvasSizeComboBox"); }
};

} // namespace

// Thousands of random but valid user actions on the real form; after every one the document,
// the picture list and the canvas must still agree. GLIMMERDOCK_RANDOM_SEED and
// GLIMMERDOCK_RANDOM_STEPS replay or lengthen a run.
class TestRandomUse : public QObject {
    Q_OBJECT

    QTemporaryDir folder;
    QStringList pictures;

private Q_SLOTS:
    void initTestCase() {
        TestSupport::initTestEnvironment();
        const std::pair<const char*, QSize> files[] = {
            {"red.png", QSize(40, 30)},   {"wide.png", QSize(120, 20)},
            {"photo.jpg", QSize(64, 64)}, {"strip.gif", QSize(50, 20)},
            {"big.png", QSize(900, 600)}, {"tiny one.png", QSize(3, 5)},
        };
        int hue = 0;
        for (const auto& [name, size] : files) {
            const QString path = folder.filePath(QString::fromLatin1(name));
            QVERIFY(TestSupport::writePictureFile(path, size, QColor::fromHsv(hue, 200, 220)));
            pictures << path;
            hue += 60;
        }
    }

    void randomUse() {
        const quint32 seed = quint32(environmentNumber("GLIMMERDOCK_RANDOM_SEED", defaultSeed));
        const int steps = environmentNumber("GLIMMERDOCK_RANDOM_STEPS", defaultSteps);
        LImageData.clear();
        RandomUser user(seed, pictures);
        QStringList recent;
        for (int step = 0; step < steps; ++step) {
            const QString action = user.act();
            recent << QStringLiteral("  %1: %2").arg(step).arg(action);
            if (recent.size() > 8)
                recent.removeFirst();
            const QString why = user.breach();
            if (!why.isEmpty())
                QFAIL(qPrintable(QStringLiteral("seed %1, step %2 (%3): %4\nlast steps:\n%5")
                                     .arg(seed)
                                     .arg(step)
                                     .arg(action, why, recent.join(QLatin1Char('\n')))));
        }
    }
};

QTEST_MAIN(TestRandomUse)
#include "tst_randomuse.moc"
