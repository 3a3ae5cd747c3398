#include "basestore/question_cipher.h"

#include <QTest>
#include <numeric>

using namespace korvel;

namespace {
// Textbook RC4 over the same key, to show where the block restart differs.
QByteArray textbookRc4(QByteArray data) {
    const QByteArray key = QuestionCipher::passphraseDigest();
    std::array<quint8, 256> s;
    std::iota(s.begin(), s.end(), quint8(0));
    quint8 j = 0;
    for (int k = 0; k < 256; ++k) {
        j = quint8(j + s[k] + quint8(key[k % key.size()]));
        std::swap(s[k], s[j]);
    }
    quint8 i = 0;
    j = 0;
    for (char& byte : data) {
        i = quint8(i + 1);
        j = quint8(j + s[i]);
        std::swap(s[i], s[j]);
        byte = char(quint8(byte) ^ s[quint8(s[i] + s[j])]);
    }
    return data;
}

QByteArray keyStream(qsizetype size) {
    return cipherQuestionRecord(QByteArray(size, '\0'));
}
} // namespace

class QuestionCipherTest : public QObject {
    Q_OBJECT

private slots:
    void passphraseDigest() {
        QCOMPARE(QuestionCipher::passphraseDigest().toHex(),
                 QByteArray("73d238c2dacad01130090fc41c3d9ecb835d7543"));
    }

    void keyStreamVectors_data() {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("first block") << 0 << QByteArray("482aa438b624c832fad84a55e0d0ae2a");
        QTest::newRow("second block") << 8192 << QByteArray("c5c423c4340cf7ad4da6199c813678ca");
        QTest::newRow("third block") << 16384 << QByteArray("f6dabe83bfef24ec84e9a945b0054907");
    }

    void keyStreamVectors() {
        QFETCH(int, offset);
        QFETCH(QByteArray, expected);
        QCOMPARE(keyStream(offset + 16).mid(offset, 16).toHex(), expected);
    }

    void textbookUpToOneBlockOnly() {
        const QByteArray zeros(20000, '\0');
        const QByteArray ours = cipherQuestionRecord(zeros);
        const QByteArray textbook = textbookRc4(zeros);
        QCOMPARE(ours.left(8192), textbook.left(8192));
        QCOMPARE(textbook.mid(8192, 16).toHex(), QByteArray("2b6673bb19a0f8ad5e49f5b1da26d50d"));
        QVERIFY(ours.mid(8192) != textbook.mid(8192));
    }

    void roundTripAndFreshKeying_data() {
        QTest::addColumn<int>("size");
        for (int size : {0, 1, 8191, 8192, 8193, 16384, 20000, 70001})
            QTest::addRow("%d bytes", size) << size;
    }

    void roundTripAndFreshKeying() {
        QFETCH(int, size);
        QByteArray plain(size, Qt::Uninitialized);
        for (int k = 0; k < size; ++k)
            plain[k] = char(k * 131 + 7);
        const QByteArray once = cipherQuestionRecord(plain);
        QCOMPARE(cipherQuestionRecord(plain), once); // no state survives a record
        QCOMPARE(cipherQuestionRecord(once), plain);
    }

    // A record is one stream: ciphering the blocks piecewise with fresh
    // keying would give other bytes after the first block.
    void laterBlocksContinueTheState() {
        const QByteArray whole = keyStream(3 * 8192);
        QVERIFY(whole.mid(8192, 8192) != keyStream(8192));
        QVERIFY(whole.mid(16384, 8192) != whole.mid(8192, 8192));
    }
};

QTEST_APPLESS_MAIN(QuestionCipherTest)
#include "tst_question_cipher.moc"
