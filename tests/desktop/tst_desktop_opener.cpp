#include "app/desktop_opener.h"
#include "app/help_file.h"
#include "app/main_window.h"
#include "platform/message_boxes.h"
#include "platform/sound_output.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString& path, const QByteArray& body) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) < 0)
        qFatal("cannot write %s", qPrintable(path));
}

const QString Chm = QStringLiteral("application/vnd.ms-htmlhelp");
const QString ChmAlias = QStringLiteral("application/x-chm");

} // namespace

class TestDesktopOpener : public QObject {
    Q_OBJECT
private slots:
    void mimeHandler_data() {
        // Files under a user folder ("user/") and a system folder ("system/"),
        // each with config/ and applications/; "|" separates file and body.
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("found");

        const QByteArray viewer = "[Desktop Entry]\nType=Application\nExec=viewer %f\n";
        QTest::newRow("nothing") << QStringList{} << false;
        QTest::newRow("system cache, installed")
            << QStringList{"system/applications/mimeinfo.cache|[MIME Cache]\n" + Chm +
                               "=viewer.desktop;\n",
                           "system/applications/viewer.desktop|" + viewer}
            << true;
        QTest::newRow("system cache, not installed")
            << QStringList{"system/applications/mimeinfo.cache|[MIME Cache]\n" + Chm +
                           "=viewer.desktop;\n"}
            << false;
        QTest::newRow("other types only")
            << QStringList{"system/applications/mimeinfo.cache|[MIME Cache]\ntext/html="
                           "viewer.desktop;\n",
                           "system/applications/viewer.desktop|" + viewer}
            << false;
        QTest::newRow("alias in the cache")
            << QStringList{"system/applications/mimeinfo.cache|[MIME Cache]\n" + ChmAlias +
                               "=viewer.desktop;\n",
                           "system/applications/viewer.desktop|" + viewer}
            << true;
        QTest::newRow("user default")
            << QStringList{"user/config/mimeapps.list|[Default Applications]\n" + Chm +
                               "=viewer.desktop\n",
                           "user/applications/viewer.desktop|" + viewer}
            << true;
        QTest::newRow("user removes the system association")
            << QStringList{"user/config/mimeapps.list|[Removed Associations]\n" + Chm +
                               "=viewer.desktop;\n",
                           "system/applications/mimeinfo.cache|[MIME Cache]\n" + Chm +
                               "=viewer.desktop;\n",
                           "system/applications/viewer.desktop|" + viewer}
            << false;
        QTest::newRow("system removal does not hide the user's own")
            << QStringList{"user/config/mimeapps.list|[Added Associations]\n" + Chm +
                               "=viewer.desktop;\n",
                           "system/config/mimeapps.list|[Removed Associations]\n" + Chm +
                               "=viewer.desktop;\n",
                           "system/applications/viewer.desktop|" + viewer}
            << true;
        QTest::newRow("desktop id with a vendor folder")
            << QStringList{"system/applications/mimeinfo.cache|[MIME Cache]\n" + Chm +
                               "=vendor-viewer.desktop;\n",
                           "system/applications/vendor/viewer.desktop|" + viewer}
            << true;
    }

    void mimeHandler() {
        QFETCH(QStringList, files);
        QFETCH(bool, found);
        QTemporaryDir dir;
        for (const QString& file : files) {
            const QStringList parts = file.split(QLatin1Char('|'));
            writeFile(dir.filePath(parts[0]), parts[1].toUtf8());
        }
        const QStringList config{dir.filePath("user/config"), dir.filePath("system/config")};
        const QStringList applications{dir.filePath("user/applications"),
                                       dir.filePath("system/applications")};
        QCOMPARE(korvel::hasMimeHandler({Chm, ChmAlias}, config, applications), found);
    }

    void missingFileIsNotOpened() {
        QTemporaryDir dir;
        QVERIFY(!korvel::openWithDesktop(QUrl::fromLocalFile(dir.filePath("help.chm"))));
    }

    void helpTriesTheGuideAfterTheChm_data() {
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<QStringList>("tried");
        QTest::newRow("chm opens") << QStringList{"help.chm"} << QStringList{"help.chm"};
        QTest::newRow("guide opens") << QStringList{"Help/guide/index.html"}
                                     << QStringList{"help.chm", "Help/guide/index.html"};
        QTest::newRow("neither") << QStringList{}
                                 << QStringList{"help.chm", "Help/guide/index.html"};
    }

    void helpTriesTheGuideAfterTheChm() {
        QFETCH(QStringList, opens);
        QFETCH(QStringList, tried);
        QTemporaryDir dir;
        const QString folder = dir.path() + QLatin1Char('/');
        QStringList asked;
        korvel::openHelp(folder, [&](const QUrl& url) {
            const QString relative = url.toLocalFile().mid(folder.size());
            asked.append(relative);
            return opens.contains(relative);
        });
        QCOMPARE(asked, tried);
    }

    // "Справка" in the real window, on a desktop without a help viewer.
    void spravkaOpensTheGuide() {
        QTemporaryDir folder;
        QSettings settings(folder.filePath("settings.ini"), QSettings::IniFormat);
        // The window's own results journal, never the user's.
        QStandardPaths::setTestModeEnabled(true);
        settings.setValue("JournalFile", folder.filePath("journal.sqlite"));
        korvel::ScriptedMessageBoxes boxes;
        korvel::RecordingSoundOutput sound;
        QList<QUrl> asked;
        korvel::ShellEnvironment environment;
        environment.programFolder = folder.path();
        environment.settings = &settings;
        environment.boxes = &boxes;
        environment.sound = &sound;
        environment.splashTickMs = 1;
        environment.openUrl = [&](const QUrl& url) {
            asked.append(url);
            return !url.path().endsWith(".chm");
        };
        korvel::TForm1 window(environment);
        window.show();
        window.SpravkaClick();
        QCOMPARE(asked,
                 (QList<QUrl>{QUrl::fromLocalFile(folder.filePath("help.chm")),
                              QUrl::fromLocalFile(folder.filePath("Help/guide/index.html"))}));
    }

    // The build lays the guide out beside the program, every page and link whole.
    void builtGuideIsComplete() {
        const QDir guide(QCoreApplication::applicationDirPath() + "/../Help/guide");
        QVERIFY2(guide.exists("index.html"), qPrintable(guide.absolutePath()));
        const QStringList pages = guide.entryList({"*.html"});
        QVERIFY(pages.size() >= 8);
        const QRegularExpression reference(QStringLiteral("(?:href|src)=\"([^\"#:]+)"));
        for (const QString& page : pages) {
            QFile file(guide.filePath(page));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            QVERIFY2(text.contains("charset=utf-8"), qPrintable(page));
            for (const auto& match : reference.globalMatch(text))
                QVERIFY2(guide.exists(match.captured(1)),
                         qPrintable(page + " -> " + match.captured(1)));
        }
    }
};

QTEST_MAIN(TestDesktopOpener)
#include "tst_desktop_opener.moc"
