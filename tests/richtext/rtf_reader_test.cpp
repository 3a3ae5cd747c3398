#include "richtext/rtf_reader.h"
#include "rtf_test_support.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSet>
#include <QTest>

using namespace rtftest;

class RtfReaderTest : public QObject {
    Q_OBJECT

private slots:
    void corpusText_data();
    void corpusText();
    void corpusPhrases_data();
    void corpusPhrases();
    void corpusPictures_data();
    void corpusPictures();
    void corpusTables();
    void picturesShareOneBudget_data();
    void picturesShareOneBudget();
    void pictureDecoders_data();
    void pictureDecoders();
    void decoding_data();
    void decoding();
    void appendsToExistingDocument();
    void plainTextIsWindows1251();
    void hostileInput_data();
    void hostileInput();
    void fuzzFindingsStayFixed();
};

void RtfReaderTest::corpusText_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("WordPad") << "wordpad_cyrillic.rtf"
                             << QStringLiteral("Вопрос 12\nКакое напряжение считается опасным для "
                                               "жизни?\n•\tпервый пункт\nОтвет 42\nСиний текст "
                                               "«кавычки» – тире\nновая строка\tтабуляция\n\uFFFC");
    QTest::newRow("Word") << "word_2007.rtf"
                          << QStringLiteral("Заголовок вопроса\nОбычный текст и курсив, € euro, • "
                                            "“цитата” — конец.link text\nЯчейка A1\nB1\nA2\nB2\n"
                                            "вторая строка\n\uFFFC\n•\tпункт списка");
    QTest::newRow("LibreOffice")
        << "libreoffice_7.rtf"
        << QStringLiteral("Красный заголовок\nТекст LibreOffice с жирным и наклонным "
                          "подчёркнутым словом, 2×2=4.\nСправа синим marked\n\uFFFC\nЛевая\n"
                          "Правая\nПосле таблицы Ёё.");
    QTest::newRow("hand, other code pages")
        << "handwritten_charsets.rtf"
        << QStringLiteral("café Łódź Αθήνα İstanbul ğ 日本 שלום Rīga Москва\nemoji 😀 end, "
                          "{braces} back\\slash, nb sp, soft\u00ADhy, nb\u2011hy\n\uFFFC\n"
                          "Centered bold");
}

void RtfReaderTest::corpusText() {
    QFETCH(QString, file);
    QFETCH(QString, text);
    korvel::RtfReadResult result;
    const auto document = korvel::loadQuestionText(corpusFile(file), &result);
    QVERIFY(result.ok);
    QCOMPARE(result.message, QString());
    QCOMPARE(document->toPlainText(), text);
}

void RtfReaderTest::corpusPhrases_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("phrase");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QString>("colour"); // empty: automatic
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("family");
    QTest::addColumn<double>("points");

    const int left = Qt::AlignLeft;
    const int centre = Qt::AlignHCenter;
    const int right = Qt::AlignRight;
    const int justify = Qt::AlignJustify;
    QTest::newRow("WordPad title") << "wordpad_cyrillic.rtf" << QStringLiteral("Вопрос 12") << true
                                   << false << false << "" << centre << "Arial CYR" << 14.0;
    QTest::newRow("WordPad red") << "wordpad_cyrillic.rtf" << QStringLiteral("напряжение") << false
                                 << false << false << "#ff0000" << left << "Arial CYR" << 10.0;
    QTest::newRow("WordPad italic") << "wordpad_cyrillic.rtf" << QStringLiteral("опасным") << false
                                    << true << false << "" << left << "Arial CYR" << 10.0;
    QTest::newRow("WordPad underline right")
        << "wordpad_cyrillic.rtf" << QStringLiteral("Ответ") << false << false << true << ""
        << right << "Times New Roman CYR" << 12.0;
    QTest::newRow("WordPad blue justified")
        << "wordpad_cyrillic.rtf" << QStringLiteral("Синий") << false << false << false << "#0000ff"
        << justify << "Times New Roman CYR" << 12.0;
    QTest::newRow("Word title") << "word_2007.rtf" << QStringLiteral("Заголовок") << true << false
                                << false << "#ff0000" << centre << "Arial" << 14.0;
    QTest::newRow("Word upr italic") << "word_2007.rtf" << QStringLiteral("курсив") << false << true
                                     << false << "" << justify << "Times New Roman" << 11.0;
    QTest::newRow("Word field result")
        << "word_2007.rtf" << QStringLiteral("link text") << false << false << true << "#0000ff"
        << justify << "Times New Roman" << 11.0;
    QTest::newRow("Word cell") << "word_2007.rtf" << QStringLiteral("Ячейка") << true << false
                               << false << "" << left << "Calibri" << 12.0;
    QTest::newRow("Word cell right") << "word_2007.rtf" << QStringLiteral("A2") << false << false
                                     << false << "" << right << "Times New Roman" << 12.0;
    QTest::newRow("LibreOffice red title")
        << "libreoffice_7.rtf" << QStringLiteral("Красный") << true << false << false << "#c9211e"
        << centre << "Liberation Sans" << 14.0;
    QTest::newRow("LibreOffice bold") << "libreoffice_7.rtf" << QStringLiteral("жирным") << true
                                      << false << false << "" << left << "Liberation Serif" << 12.0;
    QTest::newRow("LibreOffice italic underline")
        << "libreoffice_7.rtf" << QStringLiteral("наклонным") << false << true << true << "" << left
        << "Liberation Serif" << 12.0;
    QTest::newRow("LibreOffice navy right")
        << "libreoffice_7.rtf" << QStringLiteral("Справа") << false << false << false << "#000080"
        << right << "Liberation Serif" << 12.0;
    QTest::newRow("LibreOffice bold cell")
        << "libreoffice_7.rtf" << QStringLiteral("Правая") << true << false << false << "" << centre
        << "Liberation Serif" << 12.0;
    QTest::newRow("hand centred bold") << "handwritten_charsets.rtf" << QStringLiteral("Centered")
                                       << true << false << false << "" << centre << "Arial" << 12.0;
}

void RtfReaderTest::corpusPhrases() {
    QFETCH(QString, file);
    QFETCH(QString, phrase);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(QString, colour);
    QFETCH(int, alignment);
    QFETCH(QString, family);
    QFETCH(double, points);
    const auto document = korvel::loadQuestionText(corpusFile(file));
    const Phrase found = findPhrase(*document, phrase);
    QVERIFY2(found.found, qPrintable(phrase));
    QCOMPARE(found.format.fontWeight() >= QFont::Bold, bold);
    QCOMPARE(found.format.fontItalic(), italic);
    QCOMPARE(found.format.fontUnderline(), underline);
    QCOMPARE(colourName(found.format), colour);
    QCOMPARE(int(found.block.alignment() & Qt::AlignHorizontal_Mask), alignment);
    QCOMPARE(found.format.fontFamilies().toStringList().value(0), family);
    QCOMPARE(found.format.fontPointSize(), points);
}

void RtfReaderTest::corpusPictures_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QSize>("pixels");
    // WordPad: a metafile placeholder of 1500 x 750 twips.
    QTest::newRow("WordPad metafile") << "wordpad_cyrillic.rtf" << 100.0 << 50.0 << QSize(100, 50);
    // Word: the PNG of \shppict (not the metafile of \nonshppict), 600 twips scaled by 200%.
    QTest::newRow("Word PNG") << "word_2007.rtf" << 80.0 << 30.0 << QSize(40, 30);
    QTest::newRow("LibreOffice JPEG") << "libreoffice_7.rtf" << 64.0 << 48.0 << QSize(64, 48);
    QTest::newRow("hand \\bin PNG") << "handwritten_charsets.rtf" << 60.0 << 45.0 << QSize(40, 30);
}

void RtfReaderTest::corpusPictures() {
    QFETCH(QString, file);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QSize, pixels);
    const auto document = korvel::loadQuestionText(corpusFile(file));
    const QList<Picture> found = pictures(*document);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().width, width);
    QCOMPARE(found.first().height, height);
    const QImage image =
        document->resource(QTextDocument::ImageResource, QUrl(found.first().name)).value<QImage>();
    QCOMPARE(image.size(), pixels);
    if (file.startsWith(QLatin1String("word_")))
        QCOMPARE(image.pixelColor(2, 2), QColor(Qt::red)); // the picture itself, not a placeholder
}

void RtfReaderTest::picturesShareOneBudget_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("count");
    QTest::addColumn<QSizeF>("lastShownAs");        // placeholders are drawn at the picture's size
    QTest::addColumn<QSizeF>("thirtyFirstShownAs"); // past the budget in the last two rows
    // The budget is spent, not just refused: pictures that fit are still made whole.
    QTest::addColumn<qint64>("atLeast");

    const auto repeated = [](int count, const auto& picture) {
        QByteArray rtf("{\\rtf1 ");
        for (int i = 0; i < count; ++i)
            rtf += picture(i);
        return rtf + "}";
    };
    QTest::newRow("1500 huge placeholders of one size")
        << repeated(1500, [](int) { return QByteArray("{\\pict\\picw9999\\pich9999 }"); }) << 1500
        << QSizeF(9999, 9999) << QSizeF(9999, 9999) << qint64(1024 * 1024 * 4);
    QTest::newRow("1500 huge placeholders of as many sizes") << repeated(1500, [](int i) {
        return "{\\pict\\picw" + QByteArray::number(1000 + i) + "\\pich1000 }";
    }) << 1500 << QSizeF(2499, 1000) << QSizeF(1030, 1000) << qint64(60'000'000);

    QImage photo(1000, 1000, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(photo.save(&buffer, "PNG"));
    const QByteArray hex = png.toHex();
    QTest::newRow("decoded pictures, then placeholders") << repeated(60, [&](int i) {
        return i < 40 ? "{\\pict\\pngblip " + hex + "}"
                      : "{\\pict\\pngblip\\picw" + QByteArray::number(500 + i) + "\\pich700 }";
    }) << 60 << QSizeF(559, 700) << QSizeF(1000, 1000) << qint64(64'000'000);
}

// A text of many huge pictures once took gigabytes: every picture, placeholders
// included, now draws on one budget of pixel memory for the whole text.
void RtfReaderTest::picturesShareOneBudget() {
    QFETCH(QByteArray, rtf);
    QFETCH(int, count);
    QFETCH(QSizeF, lastShownAs);
    QFETCH(QSizeF, thirtyFirstShownAs);
    QFETCH(qint64, atLeast);
    constexpr qint64 budget = 64 * 1024 * 1024;
    const auto document = korvel::loadQuestionText(rtf);
    const QList<Picture> found = pictures(*document);
    QCOMPARE(found.size(), count);
    QCOMPARE(QSizeF(found.last().width, found.last().height), lastShownAs);
    QCOMPARE(QSizeF(found[30].width, found[30].height), thirtyFirstShownAs);
    qint64 pixelBytes = 0;
    QSet<qint64> distinct;
    for (const Picture& picture : found) {
        const QImage image =
            document->resource(QTextDocument::ImageResource, QUrl(picture.name)).value<QImage>();
        QVERIFY2(!image.isNull(), qPrintable(picture.name));
        if (!distinct.contains(image.cacheKey())) {
            distinct.insert(image.cacheKey());
            pixelBytes += image.sizeInBytes();
        }
    }
    QVERIFY2(pixelBytes <= budget && pixelBytes >= atLeast,
             qPrintable(QString::number(pixelBytes)));
}

void RtfReaderTest::pictureDecoders_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("decoded"); // else a placeholder of \\picw x \\pich
    const auto encoded = [](const char* format) {
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes.toHex();
    };
    const QByteArray svg = QByteArray("<svg xmlns='http://www.w3.org/2000/svg' width='20' "
                                      "height='10'><rect width='20' height='10' fill='red'/></svg>")
                               .toHex();
    QTest::newRow("PNG") << "{\\rtf1{\\pict\\pngblip " + encoded("PNG") + "}}" << true;
    QTest::newRow("JPEG labelled PNG")
        << "{\\rtf1{\\pict\\pngblip " + encoded("JPEG") + "}}" << true;
    QTest::newRow("PNG without a blip word") << "{\\rtf1{\\pict " + encoded("PNG") + "}}" << true;
    // Qt may read these, but RTF does not carry them.
    QTest::newRow("SVG") << "{\\rtf1{\\pict\\picw20\\pich10 " + svg + "}}" << false;
    QTest::newRow("BMP") << "{\\rtf1{\\pict\\pngblip\\picw20\\pich10 " + encoded("BMP") + "}}"
                         << false;
}

void RtfReaderTest::pictureDecoders() {
    QFETCH(QByteArray, rtf);
    QFETCH(bool, decoded);
    const auto document = korvel::loadQuestionText(rtf);
    const QList<Picture> found = pictures(*document);
    QCOMPARE(found.size(), 1);
    const QImage image =
        document->resource(QTextDocument::ImageResource, QUrl(found.first().name)).value<QImage>();
    QCOMPARE(image.size(), QSize(20, 10));
    const QColor middle = image.pixelColor(10, 5);
    QCOMPARE(middle.red() > 200 && middle.green() < 60, decoded);
}

void RtfReaderTest::corpusTables() {
    const auto word = korvel::loadQuestionText(corpusFile(QStringLiteral("word_2007.rtf")));
    QList<QTextTable*> found = tables(*word);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first()->rows(), 2);
    QCOMPARE(found.first()->columns(), 2);
    QCOMPARE(cellText(found.first(), 0, 0), QStringLiteral("Ячейка A1"));
    QCOMPARE(cellText(found.first(), 0, 1), QStringLiteral("B1"));
    QCOMPARE(cellText(found.first(), 1, 1), QStringLiteral("B2\nвторая строка"));
    QCOMPARE(found.first()->format().border(), 1.0);

    const auto office = korvel::loadQuestionText(corpusFile(QStringLiteral("libreoffice_7.rtf")));
    found = tables(*office);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first()->rows(), 1);
    QCOMPARE(found.first()->columns(), 2);
    QCOMPARE(cellText(found.first(), 0, 1), QStringLiteral("Правая"));
    const QList<QTextLength> widths = found.first()->format().columnWidthConstraints();
    QCOMPARE(widths.size(), 2);
    QCOMPARE(widths.at(0).rawValue(), 4819 / 15.0);
}

void RtfReaderTest::decoding_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("ansicpg without font")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}") << QStringLiteral("При");
    QTest::newRow("default is 1252")
        << QByteArray("{\\rtf1\\ansi caf\\'e9}") << QStringLiteral("café");
    QTest::newRow("font charset beats ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset204 A;}}\\f0 \\'e4\\'e0}")
        << QStringLiteral("да");
    QTest::newRow("charset 0 is the ANSI page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset0 A;}}\\f0 \\'e4\\'e0}")
        << QStringLiteral("да");
    QTest::newRow("cpg beats charset")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0\\cpg1251 A;}}\\f0 \\'e4}")
        << QStringLiteral("д");
    QTest::newRow("deff picks the font")
        << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f0 A;}{\\f1\\fcharset161 G;}}\\'e1}")
        << QStringLiteral("α");
    QTest::newRow("Shift-JIS pair") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset128 M;}}"
                                                  "\\f0 \\'93\\'fa}")
                                    << QStringLiteral("日");
    QTest::newRow("uc1 skips one byte")
        << QByteArray("{\\rtf1 \\u1076?\\u1072 ?x}") << QStringLiteral("даx");
    QTest::newRow("uc2 skips two")
        << QByteArray("{\\rtf1\\uc2 \\u8364\\'88\\'3fx}") << QStringLiteral("€x");
    QTest::newRow("uc0 skips none")
        << QByteArray("{\\rtf1\\uc0 \\u1076 x}") << QStringLiteral("дx");
    QTest::newRow("skip stops at group end")
        << QByteArray("{\\rtf1\\uc3 {\\u1076 a}b}") << QStringLiteral("дb");
    QTest::newRow("uc is group scoped")
        << QByteArray("{\\rtf1 {\\uc2 \\u1076??}\\u1076??}") << QStringLiteral("дд?");
    QTest::newRow("negative and surrogates")
        << QByteArray("{\\rtf1 \\u-3980?\\u-10179?\\u-8704?}") << QStringLiteral("\uF074😀");
    QTest::newRow("upr reads ud once")
        << QByteArray("{\\rtf1 {\\upr{ansi text}{\\*\\ud{\\u1076?a}}}!}") << QStringLiteral("дa!");
    QTest::newRow("named symbols")
        << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"
                      "\\~\\-\\_\\emspace\\enspace}")
        << QStringLiteral("—–•‘’“”\u00A0\u00AD\u2011\u2003\u2002");
    QTest::newRow("unknown star destination")
        << QByteArray("{\\rtf1 a{\\*\\unknownthing secret {nested} more}b}")
        << QStringLiteral("ab");
    QTest::newRow("known destinations skipped")
        << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}{\\header H}a"
                      "{\\footnote F}{\\*\\fldinst X}b}")
        << QStringLiteral("ab");
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}")
                                 << QStringLiteral("abd");
    QTest::newRow("last par dropped, others kept")
        << QByteArray("{\\rtf1 a\\par\\par b\\par}") << QStringLiteral("a\n\nb");
    QTest::newRow("line and tab") << QByteArray("{\\rtf1 a\\line b\\tab c}")
                                  << QStringLiteral("a\nb\tc");
    QTest::newRow("escaped specials")
        << QByteArray("{\\rtf1 \\{\\}\\\\}") << QStringLiteral("{}\\");
    QTest::newRow("raw line breaks ignored")
        << QByteArray("{\\rtf1 ab\r\ncd\\\r\nef}") << QStringLiteral("abcd\nef");
    QTest::newRow("text after the end") << QByteArray("{\\rtf1 a}garbage") << QStringLiteral("a");
    QTest::newRow("leading white space") << QByteArray(" \r\n\t{\\rtf1 a}") << QStringLiteral("a");
    QTest::newRow("pntext shows, pn does not")
        << QByteArray("{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}x}")
        << QStringLiteral("1.\tx");
    QTest::newRow("symbol font bullet") << QByteArray("{\\rtf1{\\fonttbl{\\f2\\fcharset2 Symbol;}}"
                                                      "{\\f2\\'b7}{\\f2\\u-3913?}}")
                                        << QStringLiteral("••");
    QTest::newRow("object replacement stays text")
        << QByteArray("{\\rtf1 a\\u65532?\\u8233?b}") << QStringLiteral("a\uFFFD\nb");
}

void RtfReaderTest::decoding() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    const auto document = korvel::loadQuestionText(rtf);
    // Raw text, because toPlainText() turns the no-break space into a blank.
    QString raw = document->toRawText();
    raw.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    QCOMPARE(raw, text);
}

void RtfReaderTest::appendsToExistingDocument() {
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat title;
    title.setFontWeight(QFont::Bold);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    cursor.insertText(QStringLiteral("Report"), title);
    cursor.insertBlock();
    const korvel::RtfReadResult result =
        korvel::loadQuestionText(cursor, corpusFile(QStringLiteral("wordpad_cyrillic.rtf")));
    QVERIFY(result.ok);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("after"));

    QVERIFY(document.toPlainText().startsWith(QStringLiteral("Report\nВопрос 12\n")));
    QVERIFY(document.toPlainText().endsWith(QStringLiteral("\uFFFC\nafter")));
    QCOMPARE(findPhrase(document, QStringLiteral("Report")).format.fontWeight(), int(QFont::Bold));
    QCOMPARE(findPhrase(document, QStringLiteral("Какое")).block.alignment(), Qt::AlignLeft);
    QCOMPARE(colourName(findPhrase(document, QStringLiteral("напряжение")).format),
             QStringLiteral("#ff0000"));

    // A second text with a picture of its own gets a resource name of its own.
    korvel::loadQuestionText(cursor, corpusFile(QStringLiteral("wordpad_cyrillic.rtf")));
    const QList<Picture> found = pictures(document);
    QCOMPARE(found.size(), 2);
    QVERIFY(found.at(0).name != found.at(1).name);
}

void RtfReaderTest::plainTextIsWindows1251() {
    const QByteArray bytes = QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2\r\n\xec\xe8\xf0\x00!\r\n", 15);
    korvel::RtfReadResult result;
    const auto document = korvel::loadQuestionText(bytes, &result);
    QVERIFY(result.ok);
    QCOMPARE(document->toPlainText(), QStringLiteral("Привет\nмир!"));
    QCOMPARE(document->blockCount(), 2);
    QVERIFY(!korvel::isRtf(QByteArray("{\\rt")));
    QVERIFY(!korvel::insertRtf(*std::make_unique<QTextCursor>(document.get()), "plain").ok);
}

void RtfReaderTest::hostileInput_data() {
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("contains");
    QTest::addColumn<bool>("repaired"); // a message tells what was wrong

    QTest::newRow("200000 nested groups")
        << "{\\rtf1 " + QByteArray(200000, '{') + "deep" + QByteArray(200000, '}') + "after}"
        << "deepafter" << false;
    QTest::newRow("groups never closed") << "{\\rtf1 " + QByteArray(200000, '{') + "open"
                                         << "open" << true;
    QTest::newRow("\\bin past the end")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xyz") << "a" << true;
    QTest::newRow("\\bin negative") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab" << false;
    QTest::newRow("absurd numbers")
        << QByteArray("{\\rtf1 \\fs99999999999999999999\\u-99999999999?\\li-99999999999"
                      "\\uc99999999999 x\\cf99999999999 y\\f99999999999 z\\cellx99999999999"
                      "\\picscalex99999999999 w}")
        << "" << false;
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zz\\'4 b\\'\\'}") << "a" << false;
    QTest::newRow("cells without rows")
        << "{\\rtf1\\trowd\\cellx100" + QByteArray("\\intbl x\\cell ").repeated(20000) + "}"
        << "" << false;
    QTest::newRow("many rows")
        << "{\\rtf1" +
               QByteArray("\\trowd\\cellx100\\cellx200\\intbl a\\cell b\\cell\\row ")
                   .repeated(20000) +
               "\\pard end}"
        << "end" << false;
    QTest::newRow("many pictures")
        << "{\\rtf1" +
               QByteArray("{\\pict\\wmetafile8\\picwgoal99999999\\pichgoal1 00}").repeated(5000) +
               "}"
        << "" << false;
    QTest::newRow("huge declared PNG")
        << QByteArray("{\\rtf1{\\pict\\pngblip 89504e470d0a1a0a0000000d494844520000ffff0000ffff0806"
                      "000000}ok}")
        << "ok" << false;
    QTest::newRow("long control word") << "{\\rtf1 \\" + QByteArray(1000000, 'a') + " x}"
                                       << "x" << false;
    QTest::newRow("many fonts and colours")
        << "{\\rtf1{\\fonttbl" + QByteArray("{\\f1\\fcharset204 F;}").repeated(20000) +
               "}{\\colortbl" + QByteArray(200000, ';') + "}\\f1\\cf9999 q}"
        << "q" << false;
    QTest::newRow("closing braces first") << QByteArray("{\\rtf1 a}}}}}b") << "a" << false;
    QTest::newRow("only the signature") << QByteArray("{\\rtf") << "" << true;
}

void RtfReaderTest::hostileInput() {
    QFETCH(QByteArray, rtf);
    QFETCH(QString, contains);
    QFETCH(bool, repaired);
    QElapsedTimer timer;
    timer.start();
    korvel::RtfReadResult result;
    const auto document = korvel::loadQuestionText(rtf, &result);
    QVERIFY(result.ok);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(document->toPlainText().contains(contains));
    QCOMPARE(!result.message.isEmpty(), repaired);
}

// Inputs the fuzzer once found a fault with (out of memory through a PNG
// chunk that lies about its length, ...).
void RtfReaderTest::fuzzFindingsStayFixed() {
    const QDir dir(QStringLiteral(KORVEL_RTF_CORPUS_DIR "/../fuzz_regressions"));
    const QStringList files = dir.entryList(QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QString& name : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QElapsedTimer timer;
        timer.start();
        const auto document = korvel::loadQuestionText(file.readAll());
        QVERIFY2(timer.elapsed() < 2000, qPrintable(name));
        QVERIFY(!document->toPlainText().isEmpty());
    }
}

QTEST_MAIN(RtfReaderTest)
#include "rtf_reader_test.moc"
