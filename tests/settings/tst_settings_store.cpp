#include "platform/message_boxes.h"
#include "settings/journal_settings.h"
#include "settings/live_settings.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using korvel::LiveSettings;
using korvel::ScriptedMessageBoxes;

namespace {

// A settings file written by hand, as another program or an older version
// would leave it.
QString writeIni(const QTemporaryDir& dir, const QByteArray& body) {
    const QString path = dir.filePath(QStringLiteral("KorvelTest.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write("[General]\n" + body) < 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The program's store: per-user over per-machine, both under a temporary
// folder. An unwritable layer lies under a regular file, which holds for root.
struct LayeredFolders {
    explicit LayeredFolders(const QTemporaryDir& dir, bool machineWritable, bool userWritable)
        : machine(dir.filePath(machineWritable ? "machine" : "blocker/machine"))
        , user(dir.filePath(userWritable ? "user" : "blocker/user")) {
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        if (!blocker.open(QIODevice::WriteOnly))
            qFatal("cannot write the blocker file");
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, machine);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, user);
    }
    QString machineFile() const { return machine + QStringLiteral("/ZamtorSoft/KorvelTest.conf"); }
    QString userFile() const { return user + QStringLiteral("/ZamtorSoft/KorvelTest.conf"); }

    QString machine;
    QString user;
};

std::unique_ptr<QSettings> programStore() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("ZamtorSoft"), QStringLiteral("KorvelTest"));
}

void writeConf(const QString& path, const QByteArray& body) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write("[General]\n" + body) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

QStringList messageTexts(const ScriptedMessageBoxes& boxes) {
    QStringList texts;
    for (const auto& shown : boxes.shown()) {
        if (shown.kind != korvel::MessageKind::Error || shown.plain)
            return {QStringLiteral("not an error box: ") + shown.text};
        texts.append(shown.text);
    }
    return texts;
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void nothingStoredKeepsDefaults();
    void loadReadsEveryValue();
    void loadBringsNumbersIntoRange_data();
    void loadBringsNumbersIntoRange();
    void wrongTypeStopsTheLoad_data();
    void wrongTypeStopsTheLoad();
    void storeWritesAllFourteen();
    void storedValuesLoadBack();
    void storeThatCannotBeWritten();
    void notAnIntegerStopsTheStore_data();
    void notAnIntegerStopsTheStore();
    void layersReadValueByValue();
    void layersStore_data();
    void layersStore();
    void singleFileHasNoMachineLayer();
    void journalValues_data();
    void journalValues();

private:
    QTemporaryDir dir_;
};

void TestSettingsStore::nothingStoredKeepsDefaults() {
    const LiveSettings defaults;
    for (const QString& body : {QString(), QStringLiteral("Other=5\n")}) {
        QSettings store(writeIni(dir_, body.toLatin1()), QSettings::IniFormat);
        LiveSettings live;
        live.setTicketCount(8);
        ScriptedMessageBoxes boxes;
        QVERIFY(korvel::load(live, store, boxes));
        QVERIFY(boxes.shown().isEmpty());
        QCOMPARE(live.timeEkzSekText(), defaults.timeEkzSekText());
        QCOMPARE(live.numBilText(), defaults.numBilText());
        for (int row = 1; row <= 5; ++row)
            QCOMPARE(live.color(row), defaults.color(row));
        QCOMPARE(live.soundOn(), true);
        QCOMPARE(live.ekzInfo(), false);
    }

    QSettings missing(dir_.filePath(QStringLiteral("never/written.ini")), QSettings::IniFormat);
    LiveSettings live;
    ScriptedMessageBoxes boxes;
    QVERIFY(korvel::load(live, missing, boxes));
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(live.numBilText(), QStringLiteral("3"));
}

void TestSettingsStore::loadReadsEveryValue() {
    QSettings store(writeIni(dir_, "TimeEkzSek=25\nNumBil=7\nTrueColor=255\nWrongColor=65280\n"
                                   "ChoisColor=16711680\nLabelColor=0\nDefultColore=-1\n"
                                   "SoundOn=0\nPEkzInfo=0\nEkzInfo=7\nPEkzHelp=0\n"
                                   "TimeEkz=0\nTusEkz=-1\nTusPod=1\n"),
                    QSettings::IniFormat);
    LiveSettings live;
    live.setTicketCount(20);
    ScriptedMessageBoxes boxes;
    QVERIFY(korvel::load(live, store, boxes));
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(live.timeEkzSek(), 25);
    QCOMPARE(live.numBil(), 7);
    QCOMPARE(live.color(1), 255);
    QCOMPARE(live.color(2), 65280);
    QCOMPARE(live.color(3), 16711680);
    QCOMPARE(live.color(4), 0);
    QCOMPARE(live.color(5), -1);
    QVERIFY(!live.soundOn());
    QVERIFY(!live.pEkzInfo());
    QVERIFY(live.ekzInfo()); // any non-zero value is on
    QVERIFY(!live.pEkzHelp());
    QVERIFY(!live.timeEkz());
    QVERIFY(live.tusEkz());
    QVERIFY(live.tusPod());
}

void TestSettingsStore::loadBringsNumbersIntoRange_data() {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("tickets");
    QTest::addColumn<QString>("minutes");
    QTest::addColumn<QString>("numBil");

    QTest::newRow("NumBil 15, base of 8") << QByteArray("NumBil=15\n") << 8 << "10"
                                          << "8";
    QTest::newRow("NumBil 15, no base") << QByteArray("NumBil=15\n") << 0 << "10"
                                        << "1";
    QTest::newRow("NumBil 3, no base: unchanged text") << QByteArray("NumBil=3\n") << 0 << "10"
                                                       << "3";
    QTest::newRow("NumBil 150, base of 1000") << QByteArray("NumBil=150\n") << 1000 << "10"
                                              << "99";
    QTest::newRow("NumBil 0") << QByteArray("NumBil=0\n") << 8 << "10"
                              << "1";
    QTest::newRow("minutes 0") << QByteArray("TimeEkzSek=0\n") << 8 << "1"
                               << "3";
    QTest::newRow("minutes 500") << QByteArray("TimeEkzSek=500\n") << 8 << "99"
                                 << "3";
    QTest::newRow("minutes -2147483648") << QByteArray("TimeEkzSek=-2147483648\n") << 8 << "1"
                                         << "3";
}

void TestSettingsStore::loadBringsNumbersIntoRange() {
    QFETCH(QByteArray, body);
    QFETCH(int, tickets);
    QFETCH(QString, minutes);
    QFETCH(QString, numBil);

    QSettings store(writeIni(dir_, body), QSettings::IniFormat);
    LiveSettings live;
    live.setTicketCount(tickets);
    ScriptedMessageBoxes boxes;
    QVERIFY(korvel::load(live, store, boxes));
    QCOMPARE(live.timeEkzSekText(), minutes);
    QCOMPARE(live.numBilText(), numBil);
}

void TestSettingsStore::wrongTypeStopsTheLoad_data() {
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("word") << QByteArray("abc");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("list") << QByteArray("1, 2");
    QTest::newRow("bytes") << QByteArray("@ByteArray(12)");
    QTest::newRow("fraction") << QByteArray("1.5");
    QTest::newRow("hexadecimal") << QByteArray("0x10");
    QTest::newRow("beyond 32 bits") << QByteArray("2147483648");
    QTest::newRow("blank inside") << QByteArray("\"1 2\"");
}

void TestSettingsStore::wrongTypeStopsTheLoad() {
    QFETCH(QByteArray, value);

    QSettings store(writeIni(dir_, "TimeEkzSek=25\nNumBil=5\nTrueColor=1\nWrongColor=" + value +
                                       "\nChoisColor=2\nSoundOn=0\nTusPod=1\n"),
                    QSettings::IniFormat);
    LiveSettings live;
    live.setTicketCount(8);
    ScriptedMessageBoxes boxes;
    QVERIFY(!korvel::load(live, store, boxes));
    QCOMPARE(messageTexts(boxes),
             QStringList{QStringLiteral("Invalid data type for 'WrongColor'")});
    // Read before the failure:
    QCOMPARE(live.timeEkzSek(), 25);
    QCOMPARE(live.numBil(), 5);
    QCOMPARE(live.color(1), 1);
    // After it, defaults:
    QCOMPARE(live.color(2), LiveSettings::DefaultWrongColor);
    QCOMPARE(live.color(3), LiveSettings::DefaultChoisColor);
    QVERIFY(live.soundOn());
    QVERIFY(!live.tusPod());
}

void TestSettingsStore::storeWritesAllFourteen() {
    const QString path = writeIni(dir_, "Other=5\n");
    QSettings store(path, QSettings::IniFormat);
    LiveSettings live;
    live.setTicketCount(8);
    live.setNumBil(6);
    live.setTusPod(true);
    live.setColor(4, 123);
    ScriptedMessageBoxes boxes;
    QVERIFY(korvel::store(live, store, boxes));
    QVERIFY(boxes.shown().isEmpty());

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArrayList lines = file.readAll().split('\n');
    lines.removeAll(QByteArray());
    std::sort(lines.begin(), lines.end());
    const QByteArrayList expected = {
        "ChoisColor=13303600",
        "DefultColore=16508074",
        "EkzInfo=0",
        "LabelColor=123",
        "NumBil=6",
        "Other=5",
        "PEkzHelp=1",
        "PEkzInfo=1",
        "SoundOn=1",
        "TimeEkz=1",
        "TimeEkzSek=10",
        "TrueColor=13303754",
        "TusEkz=0",
        "TusPod=1",
        "WrongColor=8421631",
        "[General]",
    };
    QCOMPARE(lines, expected);
    QCOMPARE(korvel::settingsStoreOrder().size(), 14);
}

void TestSettingsStore::storedValuesLoadBack() {
    const QString path = dir_.filePath(QStringLiteral("roundtrip/KorvelTest.ini"));
    LiveSettings written;
    written.setTicketCount(50);
    written.setTimeEkzSek(42);
    written.setNumBil(17);
    for (int row = 1; row <= 5; ++row)
        written.setColor(row, row * 1000003);
    written.setSoundOn(false);
    written.setPEkzInfo(false);
    written.setEkzInfo(true);
    written.setPEkzHelp(false);
    written.setTimeEkz(false);
    written.setTusEkz(true);
    written.setTusPod(true);
    ScriptedMessageBoxes boxes;
    {
        QSettings store(path, QSettings::IniFormat);
        QVERIFY(korvel::store(written, store, boxes));
    }
    QSettings store(path, QSettings::IniFormat);
    LiveSettings read;
    read.setTicketCount(50);
    QVERIFY(korvel::load(read, store, boxes));
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(read.timeEkzSek(), 42);
    QCOMPARE(read.numBil(), 17);
    for (int row = 1; row <= 5; ++row)
        QCOMPARE(read.color(row), row * 1000003);
    QCOMPARE(read.soundOn(), false);
    QCOMPARE(read.pEkzInfo(), false);
    QCOMPARE(read.ekzInfo(), true);
    QCOMPARE(read.pEkzHelp(), false);
    QCOMPARE(read.timeEkz(), false);
    QCOMPARE(read.tusEkz(), true);
    QCOMPARE(read.tusPod(), true);
}

void TestSettingsStore::storeThatCannotBeWritten() {
    // A file where a folder should be: no one, not even root, can create the key.
    const QString blocker = writeIni(dir_, "");
    QSettings store(blocker + QStringLiteral("/KorvelTest.ini"), QSettings::IniFormat);
    LiveSettings live;
    ScriptedMessageBoxes boxes;
    QVERIFY(!korvel::store(live, store, boxes));
    QCOMPARE(messageTexts(boxes), QStringList{QStringLiteral("Failed to set data for 'PEkzInfo'")});
    QVERIFY(!QFile::exists(blocker + QStringLiteral("/KorvelTest.ini")));
}

void TestSettingsStore::notAnIntegerStopsTheStore_data() {
    QTest::addColumn<bool>("numBil");
    QTest::addColumn<QString>("text");
    QTest::newRow("minutes lone minus") << false << "-";
    QTest::newRow("minutes empty") << false << "";
    QTest::newRow("tickets lone minus") << true << "-";
}

void TestSettingsStore::notAnIntegerStopsTheStore() {
    QFETCH(bool, numBil);
    QFETCH(QString, text);

    const QByteArray previous = "PEkzInfo=0\nEkzInfo=1\nPEkzHelp=0\nTimeEkz=0\nTusEkz=1\n"
                                "TusPod=1\nSoundOn=0\nTimeEkzSek=50\nNumBil=40\n"
                                "TrueColor=1\nWrongColor=2\nChoisColor=3\nLabelColor=4\n"
                                "DefultColore=5\n";
    const QString path = writeIni(dir_, previous);
    LiveSettings live;
    live.setTicketCount(20);
    live.setTimeEkzSek(12);
    live.setNumBil(13);
    if (numBil)
        live.setNumBilText(text);
    else
        live.setTimeEkzSekText(text);
    ScriptedMessageBoxes boxes;
    {
        QSettings store(path, QSettings::IniFormat);
        QVERIFY(!korvel::store(live, store, boxes));
    }
    QCOMPARE(messageTexts(boxes),
             QStringList{QStringLiteral("'%1' is not a valid integer value").arg(text)});

    QSettings stored(path, QSettings::IniFormat);
    // The yes/no values come first and were written.
    QCOMPARE(stored.value("PEkzInfo").toString(), QStringLiteral("1"));
    QCOMPARE(stored.value("TusPod").toString(), QStringLiteral("0"));
    QCOMPARE(stored.value("SoundOn").toString(), QStringLiteral("1"));
    QCOMPARE(stored.value("TimeEkzSek").toString(), QString::fromLatin1(numBil ? "12" : "50"));
    QCOMPARE(stored.value("NumBil").toString(), QStringLiteral("40"));
    QCOMPARE(stored.value("TrueColor").toString(), QStringLiteral("1"));
    QCOMPARE(stored.value("DefultColore").toString(), QStringLiteral("5"));
}

void TestSettingsStore::layersReadValueByValue() {
    QTemporaryDir dir;
    const LayeredFolders folders(dir, true, true);
    writeConf(folders.machineFile(), "TimeEkzSek=20\nNumBil=5\nSoundOn=0\nTusPod=1\n");
    writeConf(folders.userFile(), "NumBil=7\nTusPod=0\n");
    LiveSettings live;
    live.setTicketCount(10);
    ScriptedMessageBoxes boxes;
    QVERIFY(korvel::load(live, *programStore(), boxes));
    QVERIFY(boxes.shown().isEmpty());
    QCOMPARE(live.timeEkzSek(), 20);
    QCOMPARE(live.numBil(), 7);
    QCOMPARE(live.soundOn(), false);
    QCOMPARE(live.tusPod(), false);
}

void TestSettingsStore::layersStore_data() {
    QTest::addColumn<bool>("machineWritable");
    QTest::addColumn<bool>("userWritable");
    QTest::addColumn<bool>("userCopy");
    QTest::addColumn<QString>("keptIn");

    QTest::newRow("administrator") << true << true << false << "machine";
    QTest::newRow("administrator with an old per-user copy") << true << true << true << "machine";
    QTest::newRow("ordinary user") << false << true << false << "user";
    QTest::newRow("ordinary user with a per-user copy") << false << true << true << "user";
    QTest::newRow("neither") << false << false << false << "";
}

void TestSettingsStore::layersStore() {
    QFETCH(bool, machineWritable);
    QFETCH(bool, userWritable);
    QFETCH(bool, userCopy);
    QFETCH(QString, keptIn);

    QTemporaryDir dir;
    const LayeredFolders folders(dir, machineWritable, userWritable);
    if (machineWritable)
        writeConf(folders.machineFile(), "TimeEkzSek=20\nOther=3\n");
    if (userCopy)
        writeConf(folders.userFile(), "TimeEkzSek=30\nNumBil=9\nTusEkz=1\nOwn=4\n");

    LiveSettings written;
    written.setTicketCount(50);
    written.setTimeEkzSek(42);
    written.setNumBil(17);
    written.setTusEkz(false);
    written.setColor(3, 777);
    ScriptedMessageBoxes boxes;
    const bool stored = korvel::store(written, *programStore(), boxes);
    QCOMPARE(stored, !keptIn.isEmpty());
    QCOMPARE(messageTexts(boxes),
             keptIn.isEmpty() ? QStringList{QStringLiteral("Failed to set data for 'PEkzInfo'")}
                              : QStringList{});

    // The chosen file holds all fourteen in INI form, the values beside them stay.
    if (!keptIn.isEmpty()) {
        const QString file = keptIn == "machine" ? folders.machineFile() : folders.userFile();
        QSettings kept(file, QSettings::IniFormat);
        for (const QString& name : korvel::settingsStoreOrder())
            QVERIFY2(kept.contains(name), qPrintable(name));
        QCOMPARE(kept.value("TimeEkzSek").toString(), QStringLiteral("42"));
        QCOMPARE(kept.value("ChoisColor").toString(), QStringLiteral("777"));
        if (keptIn == "machine") {
            QCOMPARE(kept.value("Other").toString(), QStringLiteral("3"));
            // The per-user copy keeps only what is not ours to write.
            QSettings user(folders.userFile(), QSettings::IniFormat);
            QCOMPARE(user.allKeys(), userCopy ? QStringList{"Own"} : QStringList{});
        } else {
            QVERIFY(!QFile::exists(folders.machineFile()));
        }
    }

    // What the next start reads.
    LiveSettings read;
    read.setTicketCount(50);
    QVERIFY(korvel::load(read, *programStore(), boxes));
    QCOMPARE(read.timeEkzSek(), keptIn.isEmpty() ? 10 : 42);
    QCOMPARE(read.numBil(), keptIn.isEmpty() ? 3 : 17);
    QCOMPARE(read.tusEkz(), false);
    QCOMPARE(read.color(3), keptIn.isEmpty() ? 13303600 : 777);
}

void TestSettingsStore::singleFileHasNoMachineLayer() {
    QSettings file(dir_.filePath(QStringLiteral("single.ini")), QSettings::IniFormat);
    QVERIFY(!korvel::machineLayer(file));
    QTemporaryDir dir;
    const LayeredFolders folders(dir, true, true);
    const std::unique_ptr<QSettings> machine = korvel::machineLayer(*programStore());
    QVERIFY(machine);
    QCOMPARE(machine->fileName(), folders.machineFile());
}

// The journal's values, per-user over per-machine like the others; not one of
// the fourteen, so the settings page's load and store never see them.
void TestSettingsStore::journalValues_data() {
    QTest::addColumn<QByteArray>("machine");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QString>("read"); // on, file, wall clock
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("nothing stored") << QByteArray() << QByteArray() << "1||0" << QStringList();
    QTest::newRow("per-machine") << QByteArray(
                                        "Journal=0\nJournalFile=/srv/j.sqlite\nResumeClock=1\n")
                                 << QByteArray() << "0|/srv/j.sqlite|1" << QStringList();
    QTest::newRow("per-user over per-machine")
        << QByteArray("Journal=0\nResumeClock=1\n")
        << QByteArray("Journal=1\nJournalFile=/home/u/j.sqlite\n") << "1|/home/u/j.sqlite|1"
        << QStringList();
    QTest::newRow("not an integer keeps the default, the rest is read")
        << QByteArray() << QByteArray("Journal=yes\nResumeClock=1\n") << "1||1"
        << QStringList{"Invalid data type for 'Journal'"};
}

void TestSettingsStore::journalValues() {
    QFETCH(QByteArray, machine);
    QFETCH(QByteArray, user);
    QFETCH(QString, read);
    QFETCH(QStringList, messages);
    QTemporaryDir dir;
    const LayeredFolders folders(dir, true, true);
    if (!machine.isEmpty())
        writeConf(folders.machineFile(), machine);
    if (!user.isEmpty())
        writeConf(folders.userFile(), user);
    ScriptedMessageBoxes boxes;
    const korvel::JournalSettings journal = korvel::loadJournalSettings(*programStore(), boxes);
    QCOMPARE(QStringLiteral("%1|%2|%3")
                 .arg(int(journal.on))
                 .arg(journal.file)
                 .arg(int(journal.wallClockOnResume)),
             read);
    QCOMPARE(messageTexts(boxes), messages);
    LiveSettings live;
    QVERIFY(korvel::load(live, *programStore(), boxes));
    QCOMPARE(messageTexts(boxes), messages);
}

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
