#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "rtf_test_support.h"

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace rtftest;

namespace {

// What a reader must keep of every run of text: its characters and looks.
QStringList fragmentSignatures(const QTextDocument& document) {
    QStringList signatures;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        signatures << QStringLiteral("block %1 %2")
                          .arg(int(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask))
                          .arg(block.blockFormat().leftMargin());
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QTextImageFormat image = f.toImageFormat();
                signatures << QStringLiteral("image %1x%2").arg(image.width()).arg(image.height());
                continue;
            }
            signatures << QStringLiteral("%1|%2%3%4%5|%6|%7|%8|%9")
                              .arg(it.fragment().text())
                              .arg(f.fontWeight() >= QFont::Bold ? "b" : "")
                              .arg(f.fontItalic() ? "i" : "")
                              .arg(f.fontUnderline() ? "u" : "")
                              .arg(f.fontStrikeOut() ? "s" : "")
                              .arg(colourName(f))
                              .arg(f.font().resolve(document.defaultFont()).families().value(0))
                              .arg(f.fontPointSize())
                              .arg(int(f.verticalAlignment()));
        }
    }
    return signatures;
}

// A document made the way the report makes its lines.
std::unique_ptr<QTextDocument> reportLikeDocument() {
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    const auto line = [&](const QString& text, const QColor& colour, bool bold, bool italic,
                          Qt::Alignment alignment) {
        QTextCharFormat format;
        format.setFontFamilies({QStringLiteral("Arial")});
        format.setFontPointSize(10);
        format.setForeground(colour);
        format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(italic);
        QTextBlockFormat block;
        block.setAlignment(alignment);
        cursor.setBlockFormat(block);
        cursor.insertText(text, format);
        cursor.insertBlock();
    };
    line(QStringLiteral("Ваши результаты: Result 42"), Qt::black, true, false, Qt::AlignHCenter);
    line(QStringLiteral("Неправильно Wrong 7 of 100"), QColor(255, 0, 0), false, false,
         Qt::AlignLeft);
    line(QStringLiteral("Italic line 2024"), QColor(0, 0, 128), false, true, Qt::AlignLeft);
    line(QStringLiteral("Right 99 № €"), QColor(0, 128, 0), false, false, Qt::AlignRight);
    return document;
}

QString runTool(const QString& program, const QStringList& arguments, const QString& home) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!home.isEmpty())
        environment.insert(QStringLiteral("HOME"), home);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(180000))
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class RtfWriterTest : public QObject {
    Q_OBJECT

private slots:
    void writesCodePageAndEscapes();
    void roundTripKeepsEverything_data();
    void roundTripKeepsEverything();
    void tablesAndPictures();
    void unrtfSeesOurText();
    void libreOfficeOpensWhatWeWrite();
};

void RtfWriterTest::writesCodePageAndEscapes() {
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("Привет № € é 😀 {x}\\y\tz"));
    const QByteArray rtf = korvel::writeRtf(document);
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1251"));
    QVERIFY(rtf.contains("\\fcharset204"));
    QVERIFY(rtf.contains("\\'cf\\'f0\\'e8\\'e2\\'e5\\'f2 \\'b9 \\'88 \\u233? \\u-10179?\\u-8704? "
                         "\\{x\\}\\\\y\\tab z"));
    for (const char c : rtf)
        QVERIFY2(static_cast<unsigned char>(c) < 0x80, "RTF must be 7-bit");
}

void RtfWriterTest::roundTripKeepsEverything_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::newRow("WordPad") << corpusFile(QStringLiteral("wordpad_cyrillic.rtf"));
    QTest::newRow("Word") << corpusFile(QStringLiteral("word_2007.rtf"));
    QTest::newRow("LibreOffice") << corpusFile(QStringLiteral("libreoffice_7.rtf"));
    QTest::newRow("hand") << corpusFile(QStringLiteral("handwritten_charsets.rtf"));
    QTest::newRow("report") << korvel::writeRtf(*reportLikeDocument());
    QTest::newRow("super, sub, strike, background")
        << QByteArray("{\\rtf1{\\colortbl;\\red1\\green2\\blue3;}x{\\super 2}{\\sub i}{\\strike "
                      "s}{\\highlight1 h}\\par\\pard\\li720 indented}");
}

void RtfWriterTest::roundTripKeepsEverything() {
    QFETCH(QByteArray, source);
    const auto first = korvel::loadQuestionText(source);
    const QByteArray written = korvel::writeRtf(*first);
    korvel::RtfReadResult result;
    const auto second = korvel::loadQuestionText(written, &result);
    QVERIFY(result.ok);
    QCOMPARE(result.message, QString());
    QCOMPARE(second->toPlainText(), first->toPlainText());
    QCOMPARE(fragmentSignatures(*second), fragmentSignatures(*first));
    QCOMPARE(tables(*second).size(), tables(*first).size());
}

void RtfWriterTest::tablesAndPictures() {
    const auto first = korvel::loadQuestionText(corpusFile(QStringLiteral("word_2007.rtf")));
    const auto second = korvel::loadQuestionText(korvel::writeRtf(*first));
    const QList<QTextTable*> before = tables(*first);
    const QList<QTextTable*> after = tables(*second);
    QCOMPARE(after.size(), 1);
    QCOMPARE(after.first()->rows(), before.first()->rows());
    QCOMPARE(after.first()->columns(), before.first()->columns());
    for (int r = 0; r < after.first()->rows(); ++r)
        for (int c = 0; c < after.first()->columns(); ++c)
            QCOMPARE(cellText(after.first(), r, c), cellText(before.first(), r, c));
    QCOMPARE(after.first()->format().columnWidthConstraints(),
             before.first()->format().columnWidthConstraints());

    const QList<Picture> pictureAfter = pictures(*second);
    QCOMPARE(pictureAfter.size(), 1);
    const QImage image =
        second->resource(QTextDocument::ImageResource, QUrl(pictureAfter.first().name))
            .value<QImage>();
    QCOMPARE(image.size(), QSize(40, 30));
    QCOMPARE(image.pixelColor(2, 2), QColor(Qt::red));
    QCOMPARE(image.pixelColor(20, 15), QColor(Qt::blue));
}

void RtfWriterTest::unrtfSeesOurText() {
    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        QSKIP("unrtf is not installed (Debian package unrtf): the independent reader check was "
              "skipped");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(korvel::writeRtf(*reportLikeDocument()));
    file.close();
    const QString text = runTool(unrtf, {QStringLiteral("--text"), path}, QString());
    for (const char* expected : {"Result 42", "Wrong 7 of 100", "Italic line 2024", "Right 99"})
        QVERIFY2(text.contains(QLatin1String(expected)), expected);
}

void RtfWriterTest::libreOfficeOpensWhatWeWrite() {
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("soffice is not installed (Debian package libreoffice-writer-nogui): the "
              "LibreOffice check was skipped");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.rtf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(korvel::writeRtf(*reportLikeDocument()));
    file.close();
    const QString out = dir.filePath(QStringLiteral("out"));
    const QStringList common{
        QStringLiteral("--headless"),
        QStringLiteral("-env:UserInstallation=file://%1/profile").arg(dir.path())};
    // soffice wants --convert-to before --outdir.
    const QStringList target{QStringLiteral("--outdir"), out, path};
    runTool(
        soffice,
        common +
            QStringList{QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8")} +
            target,
        dir.path());
    const QString text = QString::fromUtf8(readFile(out + QStringLiteral("/report.txt")));
    QVERIFY2(!text.isEmpty(), "LibreOffice produced no text");
    for (const QString& expected :
         {QStringLiteral("Ваши результаты: Result 42"),
          QStringLiteral("Неправильно Wrong 7 of 100"), QStringLiteral("Italic line 2024"),
          QStringLiteral("Right 99 № €")})
        QVERIFY2(text.contains(expected), qPrintable(expected));

    // LibreOffice's own RTF of our file, read back, still has the looks.
    runTool(soffice,
            common + QStringList{QStringLiteral("--convert-to"), QStringLiteral("rtf")} + target,
            dir.path());
    const auto again = korvel::loadQuestionText(readFile(out + QStringLiteral("/report.rtf")));
    const Phrase title = findPhrase(*again, QStringLiteral("Result 42"));
    QVERIFY(title.found);
    QVERIFY(title.format.fontWeight() >= QFont::Bold);
    QCOMPARE(int(title.block.alignment() & Qt::AlignHorizontal_Mask), int(Qt::AlignHCenter));
    const Phrase red = findPhrase(*again, QStringLiteral("Wrong 7"));
    QCOMPARE(colourName(red.format), QStringLiteral("#ff0000"));
    QVERIFY(red.format.fontWeight() < QFont::Bold);
    QVERIFY(findPhrase(*again, QStringLiteral("Italic line")).format.fontItalic());
    QCOMPARE(int(findPhrase(*again, QStringLiteral("Right 99")).block.alignment() &
                 Qt::AlignHorizontal_Mask),
             int(Qt::AlignRight));
}

QTEST_MAIN(RtfWriterTest)
#include "rtf_writer_test.moc"
