#include "settings/color_ref.h"
#include "settings/live_settings.h"

#include <QSignalSpy>
#include <QTest>

using korvel::LiveSettings;

class TestLiveSettings : public QObject {
    Q_OBJECT
private slots:
    void defaults();
    void typedNumberText_data();
    void typedNumberText();
    void leavingAnEmptyFieldGivesOne_data();
    void leavingAnEmptyFieldGivesOne();
    void numBilRuleRunsOnlyWhenTheTextChanges();
    void examStartLowersNumBil_data();
    void examStartLowersNumBil();
    void defaultActions();
    void changedOnlyOnRealChanges();
    void colorReferences_data();
    void colorReferences();
};

void TestLiveSettings::defaults() {
    const LiveSettings live;
    QCOMPARE(live.timeEkzSek(), 10);
    QCOMPARE(live.timeEkzSekText(), QStringLiteral("10"));
    QCOMPARE(live.numBil(), 3);
    QCOMPARE(live.numBilText(), QStringLiteral("3"));
    const int colors[] = {13303754, 8421631, 13303600, 16772810, 16508074};
    for (int row = 1; row <= 5; ++row)
        QCOMPARE(live.color(row), colors[row - 1]);
    QCOMPARE(live.trueColor(), 13303754);
    QCOMPARE(live.defultColore(), 16508074);
    QVERIFY(live.soundOn());
    QVERIFY(live.pEkzInfo());
    QVERIFY(!live.ekzInfo());
    QVERIFY(live.pEkzHelp());
    QVERIFY(live.timeEkz());
    QVERIFY(!live.tusEkz());
    QVERIFY(!live.tusPod());
    QCOMPARE(live.ticketCount(), 0);
}

void TestLiveSettings::typedNumberText_data() {
    QTest::addColumn<bool>("numBil");
    QTest::addColumn<int>("tickets");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    // TimeEkzSek starts at 10, NumBil at 3.
    QTest::newRow("minutes in range") << false << 0 << "25" << true << "25" << 25;
    QTest::newRow("minutes above range") << false << 0 << "150" << true << "99" << 99;
    QTest::newRow("minutes zero") << false << 0 << "0" << true << "1" << 1;
    QTest::newRow("minutes negative") << false << 0 << "-5" << true << "1" << 1;
    QTest::newRow("minutes huge") << false << 0 << "99999999999999999999" << true << "99" << 99;
    QTest::newRow("minutes leading zeros") << false << 0 << "007" << true << "7" << 7;
    QTest::newRow("minutes ignore tickets") << false << 8 << "15" << true << "15" << 15;
    QTest::newRow("lone minus kept, value kept") << false << 0 << "-" << true << "-" << 10;
    QTest::newRow("empty kept, value kept") << false << 0 << "" << true << "" << 10;
    QTest::newRow("letter refused") << false << 0 << "5a" << false << "10" << 10;
    QTest::newRow("trailing minus refused") << false << 0 << "5-" << false << "10" << 10;
    QTest::newRow("two minus signs refused") << false << 0 << "--" << false << "10" << 10;
    QTest::newRow("plus refused") << false << 0 << "+5" << false << "10" << 10;
    QTest::newRow("blank refused") << false << 0 << " 5" << false << "10" << 10;
    QTest::newRow("tickets 15 of 8") << true << 8 << "15" << true << "8" << 8;
    QTest::newRow("tickets 8 of 8") << true << 8 << "8" << true << "8" << 8;
    QTest::newRow("tickets 5 of 1000") << true << 1000 << "5" << true << "5" << 5;
    QTest::newRow("tickets 150 of 1000") << true << 1000 << "150" << true << "99" << 99;
    QTest::newRow("tickets without a base") << true << 0 << "5" << true << "1" << 1;
    QTest::newRow("tickets lone minus") << true << 2 << "-" << true << "-" << 3;
    QTest::newRow("tickets refused") << true << 8 << "x" << false << "3" << 3;
}

void TestLiveSettings::typedNumberText() {
    QFETCH(bool, numBil);
    QFETCH(int, tickets);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, text);
    QFETCH(int, value);

    LiveSettings live;
    live.setTicketCount(tickets);
    if (numBil) {
        QCOMPARE(live.setNumBilText(typed), accepted);
        QCOMPARE(live.numBilText(), text);
        QCOMPARE(live.numBil(), value);
        QCOMPARE(live.timeEkzSekText(), QStringLiteral("10"));
    } else {
        QCOMPARE(live.setTimeEkzSekText(typed), accepted);
        QCOMPARE(live.timeEkzSekText(), text);
        QCOMPARE(live.timeEkzSek(), value);
        QCOMPARE(live.numBilText(), QStringLiteral("3"));
    }
}

void TestLiveSettings::leavingAnEmptyFieldGivesOne_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("left");
    QTest::newRow("empty") << ""
                           << "1";
    QTest::newRow("lone minus stays") << "-"
                                      << "-";
    QTest::newRow("number stays") << "42"
                                  << "42";
}

void TestLiveSettings::leavingAnEmptyFieldGivesOne() {
    QFETCH(QString, typed);
    QFETCH(QString, left);

    LiveSettings live;
    live.setTicketCount(50);
    live.setTimeEkzSekText(typed);
    live.timeEkzSekExit();
    QCOMPARE(live.timeEkzSekText(), left);
    live.setNumBilText(typed);
    live.numBilExit();
    QCOMPARE(live.numBilText(), left);
    if (left == QLatin1String("1")) {
        QCOMPARE(live.timeEkzSek(), 1);
        QCOMPARE(live.numBil(), 1);
    }
}

void TestLiveSettings::numBilRuleRunsOnlyWhenTheTextChanges() {
    LiveSettings live; // no base open, NumBil shows 3
    live.setNumBil(3);
    QCOMPARE(live.numBilText(), QStringLiteral("3"));

    live.setNumBil(15);
    QCOMPARE(live.numBilText(), QStringLiteral("1"));

    live.setTicketCount(8);
    live.setNumBil(15);
    QCOMPARE(live.numBil(), 8);
    // A base with fewer tickets does not lower the field by itself.
    live.setTicketCount(2);
    QCOMPARE(live.numBil(), 8);
    live.setNumBil(150);
    QCOMPARE(live.numBil(), 2);
}

void TestLiveSettings::examStartLowersNumBil_data() {
    QTest::addColumn<int>("tickets");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::newRow("more than the base has") << 3 << 5 << 3;
    QTest::newRow("as many as the base has") << 3 << 3 << 3;
    QTest::newRow("fewer") << 30 << 5 << 5;
}

void TestLiveSettings::examStartLowersNumBil() {
    QFETCH(int, tickets);
    QFETCH(int, before);
    QFETCH(int, after);

    LiveSettings live;
    live.setTicketCount(99);
    live.setNumBil(before);
    live.setTicketCount(tickets);
    live.lowerNumBilToTicketCount();
    QCOMPARE(live.numBil(), after);
    QCOMPARE(live.numBilText(), QString::number(after));
}

void TestLiveSettings::defaultActions() {
    LiveSettings live;
    live.setTicketCount(2);
    for (int row = 1; row <= 5; ++row)
        live.setColor(row, row);
    live.setTimeEkz(false);
    live.setTimeEkzSek(50);
    live.setNumBilText(QStringLiteral("-"));
    live.setEkzInfo(true);
    live.setTusEkz(true);
    live.setTusPod(true);
    live.setPEkzInfo(false);
    live.setPEkzHelp(false);
    live.setSoundOn(false);

    live.applyPreparationDefaults();
    QVERIFY(live.pEkzInfo());
    QVERIFY(live.pEkzHelp());
    QVERIFY(live.tusPod());
    QVERIFY(live.tusEkz());

    live.applyExamDefaults();
    QVERIFY(live.timeEkz());
    QCOMPARE(live.timeEkzSekText(), QStringLiteral("10"));
    QCOMPARE(live.numBilText(), QStringLiteral("2")); // 3, lowered to the base's 2
    QVERIFY(!live.ekzInfo());
    QVERIFY(!live.tusEkz());
    QVERIFY(!live.tusPod());
    QVERIFY(!live.soundOn());
    QCOMPARE(live.color(1), 1);

    live.applyDefaultColors();
    QCOMPARE(live.color(1), 13303754);
    QCOMPARE(live.color(5), 16508074);

    live.applyOtherDefaults();
    QVERIFY(live.soundOn());
}

void TestLiveSettings::changedOnlyOnRealChanges() {
    LiveSettings live;
    QSignalSpy spy(&live, &LiveSettings::changed);
    live.setSoundOn(true);
    live.setColor(1, 13303754);
    live.setTimeEkzSek(10);
    live.setNumBilText(QStringLiteral("3"));
    live.setColor(6, 1);
    QCOMPARE(spy.count(), 0);

    live.setSoundOn(false);
    live.setColor(2, 0);
    live.setTimeEkzSekText(QStringLiteral(""));
    live.setNumBil(1);
    QCOMPARE(spy.count(), 4);
}

void TestLiveSettings::colorReferences_data() {
    QTest::addColumn<int>("colorRef");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::newRow("right") << 13303754 << 202 << 255 << 202;
    QTest::newRow("wrong") << 8421631 << 255 << 128 << 128;
    QTest::newRow("chosen") << 13303600 << 48 << 255 << 202;
    QTest::newRow("marked") << 16772810 << 202 << 238 << 255;
    QTest::newRow("current") << 16508074 << 170 << 228 << 251;
    QTest::newRow("black") << 0 << 0 << 0 << 0;
}

void TestLiveSettings::colorReferences() {
    QFETCH(int, colorRef);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);
    const korvel::ColorRgb rgb = korvel::colorRefToRgb(colorRef);
    QCOMPARE(rgb.red, red);
    QCOMPARE(rgb.green, green);
    QCOMPARE(rgb.blue, blue);
    QCOMPARE(korvel::colorRefFromRgb(red, green, blue), colorRef);
}

QTEST_GUILESS_MAIN(TestLiveSettings)
#include "tst_live_settings.moc"
