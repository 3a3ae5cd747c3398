#include "sound/qt_sound_output.h"

#include <QtEndian>
#include <QtTest>

using namespace korvel;

namespace {

struct WaveFormat {
    QString error;
    quint16 format = 0;
    quint16 channels = 0;
    quint32 rate = 0;
    quint32 byteRate = 0;
    quint16 blockAlign = 0;
    quint16 bits = 0;
    qint64 dataBytes = -1;
};

// Walks the RIFF chunks the way a player does, so a file with a misplaced or
// truncated chunk fails here rather than playing silence.
WaveFormat readWave(const QByteArray& bytes) {
    WaveFormat wave;
    if (bytes.size() < 12 || bytes.left(4) != "RIFF" || bytes.mid(8, 4) != "WAVE") {
        wave.error = "not a RIFF WAVE file";
        return wave;
    }
    if (qFromLittleEndian<quint32>(bytes.constData() + 4) != quint32(bytes.size() - 8)) {
        wave.error = "RIFF size does not match the file";
        return wave;
    }
    qint64 at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const char* body = bytes.constData() + at + 8;
        if (at + 8 + qint64(size) > bytes.size()) {
            wave.error = "chunk " + QString::fromLatin1(id) + " runs past the end";
            return wave;
        }
        if (id == "fmt " && size >= 16) {
            wave.format = qFromLittleEndian<quint16>(body);
            wave.channels = qFromLittleEndian<quint16>(body + 2);
            wave.rate = qFromLittleEndian<quint32>(body + 4);
            wave.byteRate = qFromLittleEndian<quint32>(body + 8);
            wave.blockAlign = qFromLittleEndian<quint16>(body + 12);
            wave.bits = qFromLittleEndian<quint16>(body + 14);
        } else if (id == "data") {
            wave.dataBytes = size;
        }
        at += 8 + size + (size & 1);
    }
    if (wave.format == 0 || wave.dataBytes < 0)
        wave.error = "fmt or data chunk missing";
    return wave;
}

} // namespace

class TestSoundResources : public QObject {
    Q_OBJECT

private slots:
    void waveFormats_data();
    void waveFormats();
};

void TestSoundResources::waveFormats_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("seconds");
    QTest::addColumn<int>("fileSize");

    QTest::newRow("AWARDS") << "AWARDS" << 8000 << 8 << 6.30 << 50558;
    QTest::newRow("BAD") << "BAD" << 22050 << 16 << 0.70 << 30764;
    QTest::newRow("BOO") << "BOO" << 11025 << 8 << 7.33 << 80844;
    QTest::newRow("CLICK") << "CLICK" << 22050 << 8 << 0.15 << 3364;
    QTest::newRow("GOOD") << "GOOD" << 11025 << 16 << 0.93 << 21260;
}

void TestSoundResources::waveFormats() {
    QFETCH(QString, name);
    QFETCH(int, rate);
    QFETCH(int, bits);
    QFETCH(double, seconds);
    QFETCH(int, fileSize);

    QFile file(soundResourcePath(name));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QByteArray bytes = file.readAll();
    const WaveFormat wave = readWave(bytes);
    QVERIFY2(wave.error.isEmpty(), qPrintable(wave.error));

    QCOMPARE(wave.format, quint16(1)); // uncompressed PCM
    QCOMPARE(wave.channels, quint16(1));
    QCOMPARE(int(wave.rate), rate);
    QCOMPARE(int(wave.bits), bits);
    QCOMPARE(int(wave.blockAlign), bits / 8);
    QCOMPARE(int(wave.byteRate), rate * bits / 8);
    QCOMPARE(wave.dataBytes % wave.blockAlign, 0);
    const double duration = double(wave.dataBytes) / wave.byteRate;
    QVERIFY2(qAbs(duration - seconds) <= 0.05 * seconds + 0.01,
             qPrintable(QString("%1 s instead of about %2 s").arg(duration).arg(seconds)));
    QCOMPARE(bytes.size(), fileSize);
}

QTEST_GUILESS_MAIN(TestSoundResources)
#include "tst_sound_resources.moc"
