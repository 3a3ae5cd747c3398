#include "tests/support/test_base_builder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// The tool as an author runs it from a terminal: no display, no runtime folder.
Run korvelbase(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_RUNTIME_DIR", "QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KORVELBASE_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The files of the README's example: a line "`B1/1.ini`:" (or "`a` with
// `b`:") names the code blocks that follow it.
QMap<QString, QByteArray> readmeExample(const QString& readme) {
    QFile file(readme);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    const QString example = text.mid(text.indexOf(QLatin1String("### Example")));
    static const QRegularExpression names(QStringLiteral("^`([^`]+)`(?: with `([^`]+)`)?:$"));
    QMap<QString, QByteArray> files;
    QStringList pending;
    QStringList block;
    bool inBlock = false;
    for (const QString& line : example.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("```"))) {
            if (inBlock && !pending.isEmpty())
                files.insert(pending.takeFirst(), (block.join('\n') + '\n').toUtf8());
            inBlock = !inBlock;
            block.clear();
        } else if (inBlock) {
            block << line;
        } else if (const auto match = names.match(line); match.hasMatch()) {
            pending = QStringList{match.captured(1), match.captured(2)};
            pending.removeAll(QString());
        }
    }
    return files;
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void exitCodes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::newRow("no command") << QStringList() << 2;
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("dump without a base") << QStringList{"dump"} << 2;
        QTest::newRow("dump with two bases") << QStringList{"dump", "a.zip", "b.zip"} << 2;
        QTest::newRow("build without -o") << QStringList{"build", "src"} << 2;
        QTest::newRow("check --help-dir without folder")
            << QStringList{"check", "a", "--help-dir"} << 2;
        QTest::newRow("dump of a missing file") << QStringList{"dump", "/nonexistent.zip"} << 1;
        QTest::newRow("check of a missing file") << QStringList{"check", "/nonexistent.zip"} << 1;
        QTest::newRow("build of a missing folder")
            << QStringList{"build", "/nonexistent", "-o", "/tmp/never.zip"} << 1;
        QTest::newRow("help") << QStringList{"--help"} << 0;
    }
    void exitCodes() {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        const Run run = korvelbase(arguments);
        QCOMPARE(run.code, code);
        if (code == 2)
            QVERIFY(run.err.contains("Usage"));
    }

    void jsonDumpOfAGoodBase() {
        const QString path = dir_.filePath("good.zip");
        TestBaseBuilder base = standardBase(2, 3);
        base.descriptor().add("Base", "Descript", "\xCF\xF0\xE8\r\n\xE2\xE5\xF2"); // "При\r\nвет"
        base.write(path);
        const Run run = korvelbase({"dump", path, "--json"});
        QCOMPARE(run.code, 0);
        QJsonParseError error;
        const QJsonObject json = QJsonDocument::fromJson(run.out, &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(json["descript"].toString(), QStringLiteral("При\r\nвет"));
        QCOMPARE(json["questions_per_ticket"].toInt(), 3);
        QCOMPARE(json["questions"].toArray().size(), 6);
        QCOMPARE(json["questions"].toArray().at(5).toObject()["ticket"].toInt(), 2);

        const Run text = korvelbase({"dump", path});
        QCOMPARE(text.code, 0);
        QVERIFY(text.out.contains("Ticket 2, question 3"));
        QCOMPARE(korvelbase({"check", path}).code, 0);
    }

    void jsonDumpOfABrokenBaseStillPrints() {
        const QString path = dir_.filePath("broken.zip");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("PK\x03\x04 garbage");
        file.close();
        const Run run = korvelbase({"dump", "--json", path});
        QCOMPARE(run.code, 1);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QVERIFY(json["error"].isString());
        QVERIFY(json["tickets"].isNull());
        QCOMPARE(json["questions"].toArray().size(), 0);

        const Run check = korvelbase({"check", path});
        QCOMPARE(check.code, 1);
        QVERIFY(check.out.contains("problem"));
    }

    // What the tool's README shows an author builds and passes the check
    // against the demo base's literature pages it links to.
    void readmeExampleBuildsAndChecks() {
        const QMap<QString, QByteArray> files =
            readmeExample(QStringLiteral(KORVEL_SOURCE_DIR "/tools/korvelbase/README.md"));
        QCOMPARE(files.keys(),
                 (QStringList{"B1/1.ini", "B1/1.txt", "B1/2.ini", "B1/2.rtf", "base.ini"}));
        const QString source = dir_.filePath("example");
        for (auto file = files.begin(); file != files.end(); ++file)
            writeFile(source + '/' + file.key(), file.value());
        const QString base = dir_.filePath("example.zip");
        const Run build = korvelbase({"build", source, "-o", base});
        QVERIFY2(build.code == 0, build.err.constData());
        const Run check = korvelbase(
            {"check", base, "--help-dir", QStringLiteral(KORVEL_SOURCE_DIR "/samples/demo/Help")});
        QVERIFY2(check.code == 0, check.out.constData());
        QVERIFY(check.out.contains("no problems found"));
        QCOMPARE(check.err, QByteArray());

        // The RTF source shows as build stores it, not as UTF-8 bytes read
        // in Windows-1251.
        const Run rtf = korvelbase({"rtf", source + "/B1/2.rtf", "--to", "text"});
        QCOMPARE(rtf.code, 0);
        QCOMPARE(QString::fromUtf8(rtf.out).trimmed(),
                 QStringLiteral("Отметьте все верные ответы."));
        QCOMPARE(rtf.err, QByteArray());
    }

    // A file for rtf: UTF-8 source as build takes it, Windows-1251 bytes
    // (an entry of a base) as the program takes them.
    void rtfReadsSourceAndBaseBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("shown");
        QTest::newRow("utf-8 rtf")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251 Привет}") << 0 << QStringLiteral("Привет");
        QTest::newRow("utf-8 rtf after blanks")
            << QByteArray("\n  {\\rtf1\\ansi\\ansicpg1251 Да}") << 0 << QStringLiteral("Да");
        QTest::newRow("utf-8 plain")
            << QByteArray("Вопрос\nвторой") << 0 << QStringLiteral("Вопрос\nвторой");
        QTest::newRow("windows-1251 rtf")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \xCF\xF0\xE8\xE2\xE5\xF2}") << 0
            << QStringLiteral("Привет");
        QTest::newRow("escaped rtf")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c4\\'e0}") << 0 << QStringLiteral("Да");
        QTest::newRow("not in windows-1251")
            << QByteArray("{\\rtf1 \xE4\xB8\xAD}") << 1 << QString();
    }
    void rtfReadsSourceAndBaseBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, code);
        QFETCH(QString, shown);
        const QString path = dir_.filePath("text.rtf");
        writeFile(path, bytes);
        const Run run = korvelbase({"rtf", path, "--to", "text"});
        QCOMPARE(run.code, code);
        if (code == 0) {
            QCOMPARE(QString::fromUtf8(run.out).trimmed(), shown);
            QCOMPARE(run.err, QByteArray());
        } else {
            QVERIFY(run.err.contains("cannot be written in Windows-1251"));
        }
    }

    void buildWritesACheckedBase() {
        const QString source = dir_.filePath("src");
        QDir().mkpath(source + "/B1");
        auto write = [](const QString& path, const QByteArray& bytes) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        };
        write(source + "/base.ini", "[Base]\nName = Мини\n");
        write(source + "/B1/1.txt", "Сколько?\n");
        write(source + "/B1/1.ini", "answer1 = Одна\nanswer2 = Две\nright = 2\n");
        const QString output = dir_.filePath("out/mini.zip");
        QDir().mkpath(dir_.filePath("out"));
        const Run build = korvelbase({"build", source, "-o", output});
        QCOMPARE(build.code, 0);
        QCOMPARE(korvelbase({"check", output}).code, 0);

        write(source + "/B1/1.ini", "answer1 = Одна\nright = 2\n");
        const Run broken = korvelbase({"build", source, "-o", dir_.filePath("out/no.zip")});
        QCOMPARE(broken.code, 1);
        QVERIFY(broken.err.contains("B1/1.ini"));
        QVERIFY(!QFile::exists(dir_.filePath("out/no.zip")));
    }
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_korvelbase_cli.moc"
