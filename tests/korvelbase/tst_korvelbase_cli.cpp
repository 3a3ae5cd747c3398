#include "tests/support/test_base_builder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run korvelbase(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KORVELBASE_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
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
