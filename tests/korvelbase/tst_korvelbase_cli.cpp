#include "tests/support/test_base_builder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run korvelbase(const QStringList& arguments) {
    QProcess process;
    process.start(KORVELBASE_PATH, arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QSet<QString> keys(const QJsonObject& object) {
    const QStringList list = object.keys();
    return QSet<QString>(list.begin(), list.end());
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir_.isValid()); }

    void wrongUsageGivesTwo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList();
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("dump without base") << QStringList{"dump"};
        QTest::newRow("dump two bases") << QStringList{"dump", "a.zip", "b.zip"};
        QTest::newRow("check without base") << QStringList{"check"};
        QTest::newRow("build without -o") << QStringList{"build", "src"};
    }
    void wrongUsageGivesTwo() {
        QFETCH(QStringList, arguments);
        const Run run = korvelbase(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(!run.err.isEmpty());
    }

    void dumpJsonHasExactlyTheKeys() {
        TestBaseBuilder base;
        base.setCounts(1, 2, "\xD2\xE5\xF1\xF2 \"quoted\"\\");
        base.descriptor().add("Base", "Pozdr", "one\r\ntwo").add("Literature", "L1", "p.htm");
        base.addQuestion(1, 1, "{\\rtf1 x}", standardQuestion(2).add("Literature", "Index", "1"));
        base.addQuestion(1, 2, "plain", multipleQuestion({1, 3}), testJpeg());
        const QString path = dir_.filePath("good.zip");
        base.write(path);

        const Run run = korvelbase({"dump", path, "--json"});
        QCOMPARE(run.exitCode, 0);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        const QJsonObject root = document.object();
        QCOMPARE(keys(root), QSet<QString>({"name", "descript", "tickets", "questions_per_ticket",
                                            "pozdr", "izdevat", "pictures", "error", "questions"}));
        QCOMPARE(root["name"].toString(), QStringLiteral("Тест \"quoted\"\\"));
        QCOMPARE(root["tickets"].toInt(), 1);
        QCOMPARE(root["questions_per_ticket"].toInt(), 2);
        QCOMPARE(root["pozdr"].toArray(), QJsonArray({"one", "two"}));
        QCOMPARE(root["izdevat"].toArray(), QJsonArray());
        QVERIFY(root["error"].isNull());
        QCOMPARE(keys(root["pictures"].toObject()), QSet<QString>({"main", "good", "bad"}));

        const QJsonArray questions = root["questions"].toArray();
        QCOMPARE(questions.size(), 2);
        for (const QJsonValue& value : questions) {
            const QJsonObject question = value.toObject();
            QCOMPARE(keys(question),
                     QSet<QString>({"ticket", "question", "text", "picture", "answer_mode",
                                    "answers", "right", "literature", "error"}));
            QCOMPARE(keys(question["text"].toObject()), QSet<QString>({"present", "rtf", "bytes"}));
            QCOMPARE(keys(question["literature"].toObject()),
                     QSet<QString>({"index", "punkt", "page"}));
            QCOMPARE(question["answers"].toArray().size(), 5);
            QVERIFY(question["error"].isNull());
        }
        const QJsonObject first = questions[0].toObject();
        QVERIFY(first["text"]["rtf"].toBool());
        QCOMPARE(first["text"]["bytes"].toInt(), 9);
        QCOMPARE(first["right"].toArray(), QJsonArray({2}));
        QVERIFY(first["answers"][3].isNull());
        QCOMPARE(first["literature"]["page"].toString(), QStringLiteral("p.htm"));
        const QJsonObject second = questions[1].toObject();
        QCOMPARE(second["answer_mode"].toInt(), 0);
        QCOMPARE(second["right"].toArray(), QJsonArray({1, 3}));
        QVERIFY(second["picture"].toBool());
    }

    void dumpOfABrokenBaseGivesOneAndJson() {
        const QString path = dir_.filePath("broken.zip");
        writeFile(path, "this is not an archive");
        const Run run = korvelbase({"dump", "--json", path});
        QCOMPARE(run.exitCode, 1);
        const QJsonObject root = QJsonDocument::fromJson(run.out).object();
        QVERIFY(root["error"].isString());
        QVERIFY(root["tickets"].isNull());
        QCOMPARE(root["questions"].toArray().size(), 0);

        const Run text = korvelbase({"dump", path});
        QCOMPARE(text.exitCode, 1);
        QVERIFY(text.out.contains("ERROR"));
    }

    void checkExitCodes() {
        const QString good = dir_.filePath("clean.zip");
        standardBase(2, 2).write(good);
        QCOMPARE(korvelbase({"check", good}).exitCode, 0);

        TestBaseBuilder base;
        base.setCounts(1, 1);
        base.addQuestion(1, 1, "text", RecordContainerWriter().add("vop", "yes", "1"));
        const QString bad = dir_.filePath("bad.zip");
        base.write(bad);
        const Run run = korvelbase({"check", bad, "--help-dir", dir_.path()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.out.contains("no answers") || run.err.contains("no answers"));
    }

    void buildExitCodes() {
        const QString source = dir_.filePath("src");
        writeFile(source + "/base.ini", "[Base]\nName = x\n");
        writeFile(source + "/B1/1.ini", "answer1 = a\nanswer2 = b\nright = 2\n");
        writeFile(source + "/B1/1.txt", "text\n");
        const QString output = dir_.filePath("built.zip");
        QCOMPARE(korvelbase({"build", source, "-o", output}).exitCode, 0);
        QCOMPARE(korvelbase({"check", output}).exitCode, 0);
        const Run dumped = korvelbase({"dump", output, "--json"});
        QCOMPARE(QJsonDocument::fromJson(dumped.out)["questions"][0]["right"].toArray(),
                 QJsonArray({2}));

        writeFile(source + "/B1/1.ini", "answer1 = a\nright = 2\n");
        QFile::remove(output);
        const Run failed = korvelbase({"build", source, "-o", output});
        QCOMPARE(failed.exitCode, 1);
        QVERIFY(failed.err.contains("B1/1.ini"));
        QVERIFY(!QFile::exists(output));
    }

private:
    QTemporaryDir dir_;
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_korvelbase_cli.moc"
