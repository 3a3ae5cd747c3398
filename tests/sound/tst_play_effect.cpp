#include "platform/play_effect.h"
#include "sound/qt_sound_output.h"

#include <QtTest>

using namespace korvel;

class TestPlayEffect : public QObject {
    Q_OBJECT

private slots:
    void stopsBeforeEveryRequest_data();
    void stopsBeforeEveryRequest();
    void switchIsReadAtEachRequest();
    void stopPlaysNothing();
    void carriedNames_data();
    void carriedNames();
    void qtOutputSurvivesEveryName();
    void qtOutputLoadsTheCarriedSounds();
};

void TestPlayEffect::stopsBeforeEveryRequest_data() {
    QTest::addColumn<bool>("soundOn");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("one click") << true << QStringList{"CLICK"} << QStringList{"stop", "play CLICK"};
    // "Главное меню" of the results page: the click starts twice, the second cuts the first.
    QTest::newRow("click twice") << true << QStringList{"CLICK", "CLICK"}
                                 << QStringList{"stop", "play CLICK", "stop", "play CLICK"};
    QTest::newRow("hover then right answer")
        << true << QStringList{"EN", "GOOD"} << QStringList{"stop", "play EN", "stop", "play GOOD"};
    QTest::newRow("names without data are still requested")
        << true << QStringList{"VTEST", "EN"}
        << QStringList{"stop", "play VTEST", "stop", "play EN"};
    QTest::newRow("sounds off still stops")
        << false << QStringList{"CLICK", "AWARDS", "BOO"} << QStringList{"stop", "stop", "stop"};
}

void TestPlayEffect::stopsBeforeEveryRequest() {
    QFETCH(bool, soundOn);
    QFETCH(QStringList, names);
    QFETCH(QStringList, events);

    RecordingSoundOutput output;
    SoundEffects effects(output, [soundOn] { return soundOn; });
    for (const QString& name : names)
        effects.PlayEffect(name);
    QCOMPARE(output.events, events);
}

void TestPlayEffect::switchIsReadAtEachRequest() {
    RecordingSoundOutput output;
    bool on = true;
    SoundEffects effects(output, [&on] { return on; });
    effects.PlayEffect("AWARDS");
    on = false;
    effects.PlayEffect("CLICK");
    on = true;
    effects.PlayEffect("BAD");
    QCOMPARE(output.events, QStringList({"stop", "play AWARDS", "stop", "stop", "play BAD"}));
}

void TestPlayEffect::stopPlaysNothing() {
    RecordingSoundOutput output;
    int asked = 0;
    SoundEffects effects(output, [&asked] {
        ++asked;
        return true;
    });
    effects.stop();
    QCOMPARE(output.events, QStringList{"stop"});
    QCOMPARE(asked, 0);
}

void TestPlayEffect::carriedNames_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");
    QTest::newRow("AWARDS") << "AWARDS"
                            << ":/sounds/AWARDS.wav";
    QTest::newRow("BAD") << "BAD"
                         << ":/sounds/BAD.wav";
    QTest::newRow("BOO") << "BOO"
                         << ":/sounds/BOO.wav";
    QTest::newRow("CLICK") << "CLICK"
                           << ":/sounds/CLICK.wav";
    QTest::newRow("GOOD") << "GOOD"
                          << ":/sounds/GOOD.wav";
    QTest::newRow("EN has no data") << "EN"
                                    << "";
    QTest::newRow("VTEST has no data") << "VTEST"
                                       << "";
    QTest::newRow("names are exact") << "click"
                                     << "";
    QTest::newRow("no path tricks") << "../CLICK"
                                    << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestPlayEffect::carriedNames() {
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(soundResourcePath(name), path);
    if (!path.isEmpty())
        QVERIFY2(QFile::exists(path), qPrintable(path));
}

// Without an audio device the effects only warn; requests of any name, known
// or not, must return at once and not crash.
void TestPlayEffect::qtOutputSurvivesEveryName() {
    QtSoundOutput output;
    SoundEffects effects(output, [] { return true; });
    for (const QString name : {"CLICK", "EN", "GOOD", "BAD", "AWARDS", "BOO", "VTEST", "", "x"})
        effects.PlayEffect(name);
    effects.stop();
    QCoreApplication::processEvents();
}

// A wrong resource URL would leave every effect silent without a word.
void TestPlayEffect::qtOutputLoadsTheCarriedSounds() {
    QtSoundOutput output;
    for (const QString& name : carriedSoundNames())
        QTRY_VERIFY2(output.isReady(name), qPrintable(name));
    QVERIFY(!output.isReady("EN"));
    QVERIFY(!output.isReady("VTEST"));
}

QTEST_GUILESS_MAIN(TestPlayEffect)
#include "tst_play_effect.moc"
