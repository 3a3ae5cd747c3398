#include "resources/skin_style.h"

#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QRegularExpression>
#include <QtTest>

using namespace korvel;

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void fixedSizes_data();
    void fixedSizes();
    void animationsMove_data();
    void animationsMove();
    void lampFramesDiffer();
    void everyPictureDecodes();
    void skinRefersToExistingPictures();
};

void TestPictures::fixedSizes_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");

    QTest::newRow("splash") << ":/pictures/splash.png" << QSize(546, 248);
    QTest::newRow("About") << ":/pictures/about.png" << QSize(400, 176);
    QTest::newRow("About logo") << ":/pictures/about_logo.png" << QSize(89, 97);
    QTest::newRow("lamp strips") << ":/pictures/lamps.png" << QSize(6 * 65, 2 * 34);
    QTest::newRow("red lamp") << ":/pictures/lamp_red.png" << QSize(6 * 65, 34);
    QTest::newRow("green lamp") << ":/pictures/lamp_green.png" << QSize(6 * 65, 34);
    QTest::newRow("counter") << ":/pictures/counter.png" << QSize(63, 34);
    QTest::newRow("tool bar") << ":/pictures/icon_help.png" << QSize(34, 34);
    QTest::newRow("navigator") << ":/pictures/icon_prev.png" << QSize(19, 19);
    QTest::newRow("switch") << ":/pictures/switch_on.png" << QSize(40, 20);
}

void TestPictures::fixedSizes() {
    QFETCH(QString, path);
    QFETCH(QSize, size);
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), size);
}

void TestPictures::animationsMove_data() {
    QTest::addColumn<QString>("path");
    for (int i = 1; i <= 3; ++i) {
        const QString path = QString(":/pictures/splash_anim%1.gif").arg(i);
        QTest::newRow(qPrintable(path)) << path;
    }
}

void TestPictures::animationsMove() {
    QFETCH(QString, path);
    QImageReader reader(path);
    QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
    QVERIFY(reader.supportsAnimation());
    QVERIFY(reader.imageCount() >= 4);
    QCOMPARE(reader.loopCount(), -1); // loops for as long as the splash shows
    const QImage first = reader.read();
    QImage other;
    while (reader.canRead() && (other.isNull() || other == first))
        other = reader.read();
    QVERIFY2(!other.isNull() && other != first, "every frame is the same");
    QVERIFY(first.width() <= 64 && first.height() <= 64);
}

// Frame 0 is the lamp off; the lit frames must look different from it.
void TestPictures::lampFramesDiffer() {
    for (const QString path : {":/pictures/lamp_red.png", ":/pictures/lamp_green.png"}) {
        const QImage strip(path);
        QVERIFY(!strip.isNull());
        const QImage off = strip.copy(0, 0, 65, 34);
        for (int frame = 1; frame < 6; ++frame)
            QVERIFY2(strip.copy(frame * 65, 0, 65, 34) != off, qPrintable(path));
    }
}

void TestPictures::everyPictureDecodes() {
    int count = 0;
    QDirIterator it(":/pictures");
    while (it.hasNext()) {
        const QString path = it.next();
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        ++count;
    }
    QVERIFY(count >= 40);
}

void TestPictures::skinRefersToExistingPictures() {
    const QString sheet = skinStyleSheet();
    QVERIFY(sheet.contains("QPushButton"));
    QCOMPARE(sheet.count('{'), sheet.count('}'));
    const QRegularExpression url(R"(url\(([^)]*)\))");
    int urls = 0;
    for (auto match = url.globalMatch(sheet); match.hasNext(); ++urls) {
        const QString path = match.next().captured(1);
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
    QVERIFY(urls > 0);
}

QTEST_GUILESS_MAIN(TestPictures)
#include "tst_pictures.moc"
