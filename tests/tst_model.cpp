#include "model/localglobal.h"
#include "support/testsupport.h"

#include <QtTest>

using namespace LocalGlobal;

namespace {

ImageData makeObject(QSize size) {
    return TestSupport::solidObject(QRect(QPoint(10, 20), size), Qt::red, nextFreeIndex());
}

QList<int> indexes() {
    QList<int> result;
    for (const ImageData& object : LImageData)
        result << object.index;
    return result;
}

} // namespace

class TestModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { LImageData.clear(); }

    void nextFreeIndexReusesFreedNumbers() {
        QCOMPARE(nextFreeIndex(), 0);
        for (int i = 0; i < 3; ++i)
            LImageData.append(makeObject(QSize(4, 4)));
        QCOMPARE(indexes(), QList<int>({0, 1, 2}));

        removeImage(findImageByName(QStringLiteral("Image1")));
        LImageData.append(makeObject(QSize(4, 4)));
        QCOMPARE(indexes(), QList<int>({0, 2, 1}));
        QCOMPARE(LImageData.last().index, 1);
        QCOMPARE(nextFreeIndex(), 3);
    }

    void findByNameIgnoresCase_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("position");
        QTest::newRow("exact") << "Image2" << 1;
        QTest::newRow("lower") << "image2" << 1;
        QTest::newRow("upper") << "IMAGE0" << 0;
        QTest::newRow("missing") << "Image7" << -1;
        QTest::newRow("no selection") << "-1" << -1;
    }

    void findByNameIgnoresCase() {
        QFETCH(QString, name);
        QFETCH(int, position);
        LImageData.append(makeObject(QSize(4, 4)));
        LImageData.append(makeObject(QSize(4, 4)));
        LImageData[1].index = 2;
        QCOMPARE(findImageByName(name), position);
        QCOMPARE(imageName(12), QStringLiteral("Image12"));
    }

    void moveKeepsEveryIndex() {
        for (int i = 0; i < 4; ++i)
            LImageData.append(makeObject(QSize(4 + i, 4)));
        moveImage(0, 3);
        QCOMPARE(indexes(), QList<int>({1, 2, 3, 0}));
        QCOMPARE(LImageData.last().image.width(), 4);
        moveImage(3, 1);
        QCOMPARE(indexes(), QList<int>({1, 0, 2, 3}));
    }

    void derivation_data() {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("half of odd sizes truncates")
            << QSize(301, 199) << 50 << 0 << QSize(150, 99);
        QTest::newRow("unchanged") << QSize(100, 100) << 100 << 0 << QSize(100, 100);
        QTest::newRow("double") << QSize(30, 10) << 200 << 0 << QSize(60, 20);
        QTest::newRow("quarter turn swaps") << QSize(40, 10) << 100 << 90 << QSize(10, 40);
        // 45 degrees grows the picture; the top-left stays where it was.
        QTest::newRow("45 degrees") << QSize(100, 100) << 100 << 45 << QSize(142, 142);
    }

    void derivation() {
        QFETCH(QSize, source);
        QFETCH(int, scale);
        QFETCH(int, rotation);
        QFETCH(QSize, shown);
        ImageData object = makeObject(source);
        object.scale = scale;
        object.rotation = rotation;
        object.updateImage();
        QCOMPARE(object.image.size(), shown);
        QCOMPARE(object.rect, QRect(QPoint(10, 20), shown));

        // Derived from the source every time: back to the start values gives the source again.
        object.scale = 100;
        object.rotation = 0;
        object.updateImage();
        QCOMPARE(object.rect, QRect(QPoint(10, 20), source));
    }

    void styleStartValues() {
        const IconStyle style;
        QCOMPARE(style.shape, int(ContainerShape::Rectangle));
        QCOMPARE(style.radius, 50);
        QCOMPARE(style.useBackground, false);
        QCOMPARE(style.backStyle, int(BackStyle::Gradient));
        QCOMPARE(style.backOrientation, int(GradientOrientation::TopDown));
        QCOMPARE(style.backColor1.name(), QStringLiteral("#ffffff"));
        QCOMPARE(style.backColor2.name(), QStringLiteral("#fff200"));
        QCOMPARE(style.useBack3dEffect, false);
        QCOMPARE(style.useBorder, false);
        QCOMPARE(style.borderColor.name(), QStringLiteral("#3282f6"));
        QCOMPARE(style.borderWidth, 5);
        QCOMPARE(style.useGlossy, false);
        QCOMPARE(style.clipImage, false);
        QCOMPARE(style.useBadge, false);
        QCOMPARE(style.badgeText, QStringLiteral("50% OFF"));
        QCOMPARE(style.badgeTextColor.name(), QStringLiteral("#ffffff"));
        QCOMPARE(style.badgeTextSize, 18);
        QCOMPARE(style.badgeTextFont, QFont());
        QCOMPARE(style.badgeBackColor.name(), QStringLiteral("#eb3324"));
        QCOMPARE(style.badgeBorderColor.name(), QStringLiteral("#ffffff"));
        QCOMPARE(style.badgeLineWidth, 3);
        QCOMPARE(style.badgeOrientation, int(BadgeOrientation::Diagonal));
        QCOMPARE(style.badgeOrientationHorizontal, 1);
        QCOMPARE(style.badgeOrientationDiagonal, 3);
        QCOMPARE(style.canvasSizeIndex, 1);
    }
};

QTEST_MAIN(TestModel)
#include "tst_model.moc"
