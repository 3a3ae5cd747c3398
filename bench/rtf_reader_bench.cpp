// Reads generated 5 MB RTF documents (formatted text, a table, a picture)
// into a QTextDocument and reports the rate. With --write FILE it also saves
// the Word-style document, so other converters can be timed on the same bytes.

#include "richtext/rtf_reader.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>

namespace {

constexpr qsizetype kTargetSize = 5 * 1024 * 1024;

QByteArray picture() {
    QImage image(320, 200, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 320, y * 255 / 200, (x ^ y) & 0xFF));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray out = "{\\pict\\pngblip\\picw320\\pich200\\picwgoal4800\\pichgoal3000\r\n";
    const QByteArray hex = png.toHex();
    for (qsizetype i = 0; i < hex.size(); i += 128)
        out += hex.mid(i, 128) + "\r\n";
    return out + "}";
}

QByteArray table() {
    QByteArray out;
    for (int row = 0; row < 200; ++row) {
        out += "\\trowd\\trgaph108\\clbrdrt\\brdrs\\cellx2000\\clbrdrt\\brdrs\\cellx5000\\clbrdrt\\"
               "brdrs\\cellx9000\r\n";
        out += "\\pard\\intbl\\ql " + QByteArray::number(row + 1) + "\\cell ";
        out += "\\pard\\intbl {\\b \\'c1\\'e8\\'eb\\'e5\\'f2} " + QByteArray::number(row % 30 + 1) +
               "\\cell ";
        out += "\\pard\\intbl {\\i\\cf1 answer text}\\cell \\row\r\n";
    }
    return out;
}

// Word's way: every run restates its fonts, languages and revision id.
QByteArray wordParagraph(int n) {
    const QByteArray run =
        "\\rtlch\\fcs1 \\af0\\afs24 \\ltrch\\fcs0 \\fs24\\lang1049\\langfe1033\\langnp1049\\insrsid"
        "2426154 \\hich\\af0\\dbch\\af31505\\loch\\f0 ";
    QByteArray out =
        n % 7 == 0
            ? "\\pard\\plain \\ltrpar\\qc \\li0\\ri0\\sb120\\sa120\\widctlpar\\wrapdefault"
              "\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 "
            : "\\pard\\plain \\ltrpar\\qj \\fi567\\li0\\ri0\\widctlpar\\wrapdefault\\aspalpha"
              "\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 ";
    out += "{" + run + "\\'c2\\'ee\\'ef\\'f0\\'ee\\'f1 " + QByteArray::number(n) +
           ". \\'cf\\'f0\\'e8 \\'e2\\'fb\\'ef\\'ee\\'eb\\'ed\\'e5\\'ed\\'e8\\'e8 "
           "\\'f0\\'e0\\'e1\\'ee\\'f2 }";
    out += "{" + run +
           "\\b\\ab \\'cf\\'f0\\'e0\\'e2\\'e8\\'eb\\'e0 \\'f2\\'e5\\'f5\\'ed\\'e8\\'ea\\'e8 "
           "\\'e1\\'e5\\'e7\\'ee\\'ef\\'e0\\'f1\\'ed\\'ee\\'f1\\'f2\\'e8}";
    out += "{" + run +
           " \\'ef\\'f0\\'e8 \\'fd\\'ea\\'f1\\'ef\\'eb\\'f3\\'e0\\'f2\\'e0\\'f6\\'e8\\'e8 "
           "\\'fd\\'eb\\'e5\\'ea\\'f2\\'f0\\'ee\\'f3\\'f1\\'f2\\'e0\\'ed\\'ee\\'e2\\'ee\\'ea "
           "(safety rules, "
           "\\'ef. " +
           QByteArray::number(n * 13 % 1000) + ") }";
    out += "{" + run + "\\i\\ai\\cf2 \\'ee\\'f5\\'f0\\'e0\\'ed\\'e0 \\'f2\\'f0\\'f3\\'e4\\'e0}";
    out += "{" + run +
           " \\'e8 \\'ef\\'ee\\'e6\\'e0\\'f0\\'ed\\'e0\\'ff \\'e1\\'e5\\'e7\\'ee\\'ef\\'e0\\'f1"
           "\\'ed\\'ee\\'f1\\'f2\\'fc \\endash  \\'f1\\'ec. \\u8470\\'b9 " +
           QByteArray::number(n) + ".}";
    out += "{" + run + "\\ul\\cf1 \\'e2\\'e0\\'e6\\'ed\\'ee}";
    out += "{" + run + "\\par }\r\n";
    return out;
}

// The terse way of WordPad and pandoc: short runs, little markup.
QByteArray compactParagraph(int n) {
    QByteArray out = n % 7 == 0 ? "\\pard\\qc\\sb120\\sa120 " : "\\pard\\qj\\fi567 ";
    out += "\\'c2\\'ee\\'ef\\'f0\\'ee\\'f1 " + QByteArray::number(n) + ". ";
    out += "{\\b \\'cf\\'f0\\'e0\\'e2\\'e8\\'eb\\'e0 \\'f2\\'e5\\'f5\\'ed\\'e8\\'ea\\'e8} ";
    out += "{\\i\\cf2 safety rules for electrical installations} ";
    out += "\\'e8 {\\ul \\'ee\\'f5\\'f0\\'e0\\'ed\\'fb \\'f2\\'f0\\'f3\\'e4\\'e0}, ";
    out += "\\u8470\\'b9 " + QByteArray::number(n * 13 % 1000) + " \\endash  ";
    out += "{\\f1\\fs20 \\u1040\\'3f\\u1041\\'3f\\u1042\\'3f} plain ascii words follow here to "
           "fill the line. ";
    out += "{\\cf1\\b0 \\'ea\\'f0\\'e0\\'f1\\'ed\\'fb\\'e9} {\\super 2} {\\strike old}\\par\r\n";
    return out;
}

QByteArray generate(QByteArray (*paragraph)(int)) {
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049"
        "{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}{\\f1\\froman\\fcharset204 Times New Roman;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue128;}\r\n"
        "\\viewkind4\\uc1\\f0\\fs24\r\n";
    int n = 0;
    while (rtf.size() < kTargetSize / 2)
        rtf += paragraph(++n);
    rtf += table();
    rtf += "\\pard\\qc " + picture() + "\\par\r\n";
    while (rtf.size() < kTargetSize)
        rtf += paragraph(++n);
    return rtf + "}";
}

void measure(const char* style, const QByteArray& rtf) {
    constexpr int kRuns = 5;
    double best = 1e9;
    qsizetype characters = 0;
    for (int run = 0; run < kRuns; ++run) {
        QTextDocument document;
        document.setUndoRedoEnabled(false);
        QTextCursor cursor(&document);
        QElapsedTimer timer;
        timer.start();
        korvel::insertRtf(cursor, rtf);
        best = std::min(best, timer.nsecsElapsed() / 1e9);
        characters = document.characterCount();
    }
    const double megabytes = rtf.size() / (1024.0 * 1024.0);
    std::printf("rtf_reader_bench %s: %.2f MB, %lld characters, best of %d: %.3f s, %.1f MB/s\n",
                style, megabytes, static_cast<long long>(characters), kRuns, best,
                megabytes / best);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QByteArray word = generate(wordParagraph);
    const QByteArray compact = generate(compactParagraph);
    const QStringList args = app.arguments();
    const qsizetype writeAt = args.indexOf(QStringLiteral("--write"));
    if (writeAt > 0 && writeAt + 1 < args.size()) {
        QFile file(args.at(writeAt + 1));
        if (!file.open(QIODevice::WriteOnly) || file.write(word) != word.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(writeAt + 1)));
            return 1;
        }
    }

    measure("Word-style", word);
    measure("compact", compact);
    return 0;
}
