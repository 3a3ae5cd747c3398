#include "app/about_window.h"
#include "app/link_label.h"
#include "app/main_menu_page.h"
#include "app/main_window.h"
#include "app/open_base_page.h"
#include "app/progress_overlay.h"
#include "app/question_page.h"
#include "app/results_page.h"
#include "app/splash_window.h"
#include "platform/message_boxes.h"
#include "sound/qt_sound_output.h"
#include "tests/support/test_base_builder.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace korvel;

namespace {

const QString NoBasesText = QStringLiteral(
    "Нет установленных Баз!\n\rВы всегда можете загрузить новые базы тестов с нашего сайта.");

// Message boxes and sounds written into one log, so tests see their order.
struct EventLog {
    QStringList events;
};

class LoggingBoxes final : public ScriptedMessageBoxes {
public:
    explicit LoggingBoxes(EventLog& log)
        : log_(log) {}
    MessageButton ask(MessageKind kind, const QString& text,
                      const QList<MessageButton>& buttons) override {
        log_.events.append(QStringLiteral("box ") + text);
        return ScriptedMessageBoxes::ask(kind, text, buttons);
    }

private:
    EventLog& log_;
};

class LoggingSound final : public SoundOutput {
public:
    explicit LoggingSound(EventLog& log)
        : log_(log) {}
    void stopAll() override { log_.events.append(QStringLiteral("stop")); }
    void play(const QString& name) override { log_.events.append(QStringLiteral("play ") + name); }

private:
    EventLog& log_;
};

void enter(QWidget* widget) {
    QEvent event(QEvent::Enter);
    QApplication::sendEvent(widget, &event);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> folder_;
    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<EventLog> log_;
    std::unique_ptr<LoggingBoxes> boxes_;
    std::unique_ptr<LoggingSound> sound_;
    QList<QUrl> opened_;
    std::unique_ptr<TForm1> window_;

    QString basePath(const QString& file) const { return folder_->filePath("Base/" + file); }

    // base.dni with Name, Descript (Windows-1251, CR LF, as base authors'
    // tools write them), Vop and Bil.
    static TestBaseBuilder describedBase(const QString& name, const QString& descript,
                                         const QByteArray& vop, const QByteArray& bil) {
        QStringEncoder cp1251("windows-1251");
        QString crlf = descript;
        crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        TestBaseBuilder base;
        base.descriptor().add("Base", "Name", QByteArray(cp1251.encode(name)));
        base.descriptor().add("Base", "Descript", QByteArray(cp1251.encode(crlf)));
        if (!vop.isNull())
            base.descriptor().add("Base", "Vop", vop);
        if (!bil.isNull())
            base.descriptor().add("Base", "Bil", bil);
        return base;
    }

    void addBase(const QString& file, const QString& name, const QByteArray& bil = "8",
                 const QByteArray& vop = "5", bool picture = true) {
        TestBaseBuilder base = describedBase(name, "Первая строка\nВторая строка", vop, bil);
        if (picture)
            base.addEntry("Skin\\main.jpg", testJpeg());
        base.write(basePath(file));
    }

    TForm1& start() {
        ShellEnvironment environment;
        environment.programFolder = folder_->path();
        environment.settings = settings_.get();
        environment.boxes = boxes_.get();
        environment.sound = sound_.get();
        environment.splashTickMs = 1;
        environment.openUrl = [this](const QUrl& url) {
            opened_.append(url);
            return true;
        };
        window_ = std::make_unique<TForm1>(environment);
        window_->show();
        return *window_;
    }

    template <class W = QWidget>
    W* control(const QString& name) const {
        W* widget = window_->findChild<W*>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }

    QStringList boxTexts() const {
        QStringList texts;
        for (const auto& shown : boxes_->shown())
            texts.append(shown.text);
        return texts;
    }

private slots:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        QDir(folder_->path()).mkpath("Base");
        settings_ =
            std::make_unique<QSettings>(folder_->filePath("settings.ini"), QSettings::IniFormat);
        // The window's own results journal, never the user's.
        QStandardPaths::setTestModeEnabled(true);
        settings_->setValue("JournalFile", folder_->filePath("journal.sqlite"));
        log_ = std::make_unique<EventLog>();
        boxes_ = std::make_unique<LoggingBoxes>(*log_);
        sound_ = std::make_unique<LoggingSound>(*log_);
        opened_.clear();
    }
    void cleanup() {
        if (window_) {
            window_->hide();
            window_.reset();
        }
        settings_.reset();
        folder_.reset();
    }

    void windowsAreCreatedInOrder() {
        addBase("a.zip", "A");
        TForm1& window = start();
        QStringList names;
        for (QDialog* dialog : window.findChildren<QDialog*>(Qt::FindDirectChildrenOnly))
            names.append(dialog->objectName());
        QCOMPARE(names, (QStringList{"TForm5", "TForm4", "TForm2", "TForm6"}));
        QCOMPARE(window.windowTitle(), QStringLiteral("Zamtor KorvelTest (Версия 1.2.0)"));
        QCOMPARE(control<QDialog>("TForm4")->windowTitle(), QStringLiteral("Билеты"));
        QCOMPARE(control<QDialog>("TForm2")->windowTitle(),
                 QStringLiteral("Информация к Экзамену"));
    }

    void startWithBasesOpensTheFirst() {
        addBase("b.zip", "Вторая");
        addBase("a.zip", "Первая");
        TForm1& window = start();
        QVERIFY(boxes_->shown().isEmpty());
        QVERIFY(window.openBasePage()->isVisible());
        QVERIFY(!window.mainMenuPage()->isVisible());
        QCOMPARE(window.splash()->ticks(), 21);
        QVERIFY(!window.splash()->isVisible());
        QCOMPARE(log_->events, (QStringList{"stop", "play VTEST"}));

        auto* first = control<QPushButton>("ButtonOfBase1");
        QCOMPARE(first->text(), QStringLiteral("Первая"));
        QCOMPARE(first->toolTip(), QStringLiteral("a.zip"));
        QVERIFY(first->isChecked());
        QVERIFY(!control<QPushButton>("ButtonOfBase2")->isChecked());
        QCOMPARE(window.currentBasePath(), basePath("a.zip"));
        QCOMPARE(window.ticketCount(), 8);
        QCOMPARE(window.questionsPerTicket(), 5);
        QCOMPARE(window.chosenAnswers().bytes().size(), 8 * 5 * 6);
        QCOMPARE(window.rightAnswers().bytes().size(), 8 * 5 * 6);
        for (const char* name : {"Descript", "descript1"})
            QCOMPARE(control<QPlainTextEdit>(name)->toPlainText(),
                     QStringLiteral("Первая строка\nВторая строка"));
        for (const char* name : {"Image3", "Image5"}) {
            QVERIFY(control<QLabel>(name)->isVisibleTo(window.openBasePage()->parentWidget()) ||
                    control<QLabel>(name)->isVisibleTo(window.mainMenuPage()));
            QVERIFY(!control<QLabel>(name)->pixmap().isNull());
        }

        auto* exam = control<QPushButton>("spSkinButton12");
        auto* preparation = control<QPushButton>("spSkinButton10");
        QVERIFY(!exam->isEnabled() && !preparation->isEnabled());
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        QVERIFY(window.mainMenuPage()->isVisible());
        QVERIFY(exam->isEnabled() && preparation->isEnabled());
    }

    void startWithoutBasesReportsBeforeTheSplash() {
        QSettings(folder_->filePath("settings.ini"), QSettings::IniFormat).setValue("NumBil", 15);
        settings_->sync();
        TForm1& window = start();
        QCOMPARE(log_->events,
                 (QStringList{QStringLiteral("box ") + NoBasesText, "stop", "play VTEST"}));
        QCOMPARE(boxes_->shown().first().kind, MessageKind::Information);
        QVERIFY(window.openBasePage()->isVisible());
        QVERIFY(!control<QPushButton>("spSkinButton2")->isEnabled());
        QVERIFY(!window.openBasePage()->baseButton(1));
        QVERIFY(window.currentBasePath().isEmpty());
        QCOMPARE(window.liveSettings().numBil(), 1);
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        QVERIFY(!window.mainMenuPage()->isVisible());

        // A rebuilt list that finds a base opens it and allows "Ok".
        addBase("late.zip", "Поздняя");
        QTest::mouseClick(control<QPushButton>("ChangeBase"), Qt::LeftButton);
        QVERIFY(control<QPushButton>("spSkinButton2")->isEnabled());
        QCOMPARE(window.currentBasePath(), basePath("late.zip"));
    }

    void storedNumBilIsLoweredToTheFirstBase() {
        addBase("a.zip", "A", "8");
        settings_->setValue("NumBil", 15);
        settings_->setValue("TimeEkzSek", 20);
        settings_->sync();
        TForm1& window = start();
        QCOMPARE(window.liveSettings().numBil(), 8);
        QCOMPARE(window.liveSettings().timeEkzSek(), 20);
    }

    void failedSettingsLoadStopsTheFirstShowing() {
        addBase("a.zip", "A");
        settings_->setValue("TimeEkzSek", "abc");
        settings_->sync();
        TForm1& window = start();
        QCOMPARE(boxTexts(), QStringList{"Invalid data type for 'TimeEkzSek'"});
        QCOMPARE(window.splash()->ticks(), 0);
        QVERIFY(window.isEnabled());
    }

    void listSkipsArchivesWithoutDescriptorAndRenumbers() {
        addBase("a.zip", "A");
        TestBaseBuilder().addEntry("readme.txt", "no descriptor").write(basePath("b.zip"));
        addBase("c.zip", "C");
        QFile(basePath("junk.zip")).open(QIODevice::WriteOnly);
        TForm1& window = start();
        QCOMPARE(control<QPushButton>("ButtonOfBase1")->y(), 10);
        QCOMPARE(control<QPushButton>("ButtonOfBase2")->y(), 40);
        QCOMPARE(control<QPushButton>("ButtonOfBase2")->toolTip(), QStringLiteral("c.zip"));
        QCOMPARE(control<QPushButton>("ButtonOfBase2")->geometry().size(), QSize(209, 17));
        QCOMPARE(control<QPushButton>("ButtonOfBase2")->x(), 8);
        QVERIFY(!window.openBasePage()->baseButton(3));
        QVERIFY(!control<QPushButton>("SampleButton")->isVisibleTo(window.openBasePage()));

        // Another base open, then one archive goes: the rebuild renumbers and
        // opens the first listed base again.
        QTest::mouseClick(control<QPushButton>("ButtonOfBase2"), Qt::LeftButton);
        QCOMPARE(window.currentBasePath(), basePath("c.zip"));
        addBase("d.zip", "D");
        QFile::remove(basePath("a.zip"));
        QTest::mouseClick(control<QPushButton>("ChangeBase"), Qt::LeftButton);
        QCOMPARE(control<QPushButton>("ButtonOfBase1")->toolTip(), QStringLiteral("c.zip"));
        QCOMPARE(control<QPushButton>("ButtonOfBase2")->toolTip(), QStringLiteral("d.zip"));
        QCOMPARE(control<QPushButton>("ButtonOfBase2")->y(), 40);
        QVERIFY(!window.openBasePage()->baseButton(3));
        QVERIFY(control<QPushButton>("ButtonOfBase1")->isChecked());
        QCOMPARE(window.currentBasePath(), basePath("c.zip"));
    }

    void baseButtonsActAsRadioButtons() {
        addBase("a.zip", "A");
        addBase("b.zip", "B", "3");
        TForm1& window = start();
        QTest::mouseClick(control<QPushButton>("ButtonOfBase2"), Qt::LeftButton);
        QVERIFY(!control<QPushButton>("ButtonOfBase1")->isChecked());
        QVERIFY(control<QPushButton>("ButtonOfBase2")->isChecked());
        QCOMPARE(window.ticketCount(), 3);
        QCOMPARE(window.chosenAnswers().bytes().size(), 3 * 5 * 6);
        // "Открыть базу..." comes back to the list with that base still pressed.
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("reload"), Qt::LeftButton);
        QVERIFY(window.openBasePage()->isVisible());
        QVERIFY(control<QPushButton>("ButtonOfBase2")->isChecked());
    }

    void baseWithoutPictureHidesBothPictures() {
        addBase("a.zip", "A");
        addBase("b.zip", "B", "8", "5", false);
        TForm1& window = start();
        QTest::mouseClick(control<QPushButton>("ButtonOfBase2"), Qt::LeftButton);
        QVERIFY(!control<QLabel>("Image3")->isVisibleTo(window.openBasePage()));
        QVERIFY(!control<QLabel>("Image5")->isVisibleTo(window.mainMenuPage()));
        QTest::mouseClick(control<QPushButton>("ButtonOfBase1"), Qt::LeftButton);
        QVERIFY(control<QLabel>("Image3")->isVisibleTo(window.openBasePage()));
        QVERIFY(control<QLabel>("Image5")->isVisibleTo(window.mainMenuPage()));
    }

    void damagedPictureHidesBothPictures() {
        describedBase("A", "", "5", "8")
            .addEntry("Skin\\main.jpg", "not a picture")
            .write(basePath("a.zip"));
        TForm1& window = start();
        QVERIFY(window.baseUsable());
        QVERIFY(!control<QLabel>("Image3")->isVisibleTo(window.openBasePage()));
    }

    void countsAreChecked_data() {
        QTest::addColumn<QByteArray>("bil");
        QTest::addColumn<QByteArray>("vop");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<bool>("pathNamesBase");
        QTest::newRow("1000 x 1000") << QByteArray("1000") << QByteArray("1000") << true << true;
        QTest::newRow("1 x 1") << QByteArray("1") << QByteArray("1") << true << true;
        QTest::newRow("Bil 1001") << QByteArray("1001") << QByteArray("5") << false << false;
        QTest::newRow("Vop 1001") << QByteArray("5") << QByteArray("1001") << false << false;
        QTest::newRow("Bil 0") << QByteArray("0") << QByteArray("5") << false << false;
        QTest::newRow("Vop not a number") << QByteArray("5") << QByteArray("x") << false << true;
        QTest::newRow("Bil missing") << QByteArray() << QByteArray("5") << false << true;
    }
    void countsAreChecked() {
        QFETCH(QByteArray, bil);
        QFETCH(QByteArray, vop);
        QFETCH(bool, usable);
        QFETCH(bool, pathNamesBase);
        addBase("a.zip", "Проверка", bil, vop);
        TForm1& window = start();
        QCOMPARE(window.baseUsable(), usable);
        QCOMPARE(window.currentBasePath().isEmpty(), !pathNamesBase);
        QCOMPARE(control<QPushButton>("spSkinButton2")->isEnabled(), usable);
        QCOMPARE(control<QPlainTextEdit>("Descript")->toPlainText(),
                 QStringLiteral("Первая строка\nВторая строка"));
        if (usable) {
            QVERIFY(boxes_->shown().isEmpty());
            QCOMPARE(window.chosenAnswers().bytes().size(),
                     qsizetype(bil.toInt()) * vop.toInt() * 6);
        } else {
            QCOMPARE(boxes_->shown().size(), 1);
            QCOMPARE(boxes_->shown().first().kind, MessageKind::Warning);
            QVERIFY(boxes_->shown().first().text.contains(QStringLiteral("Проверка")));
            QVERIFY(window.chosenAnswers().isEmpty());
            QCOMPARE(window.ticketCount(), 0);
        }
    }

    void failedDescriptorAfterAGoodBaseBlocksRuns() {
        addBase("a.zip", "A", "8");
        addBase("b.zip", "B", "1001");
        TForm1& window = start();
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("reload"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("ButtonOfBase2"), Qt::LeftButton);
        QVERIFY(!window.baseUsable());
        QVERIFY(!control<QPushButton>("spSkinButton2")->isEnabled());
        QVERIFY(!control<QPushButton>("spSkinButton12")->isEnabled());
        QVERIFY(!control<QPushButton>("spSkinButton10")->isEnabled());
        // Counts and matrices of the base before are kept together.
        QCOMPARE(window.ticketCount(), 8);
        QCOMPARE(window.chosenAnswers().tickets(), 8);
        QCOMPARE(window.currentBasePath(), basePath("a.zip"));
        // A good base again: "Ok" and, since it was confirmed before, the modes.
        QTest::mouseClick(control<QPushButton>("ButtonOfBase1"), Qt::LeftButton);
        QVERIFY(control<QPushButton>("spSkinButton2")->isEnabled());
        QVERIFY(control<QPushButton>("spSkinButton12")->isEnabled());
    }

    void vanishedArchiveKeepsThePreviousBase() {
        addBase("a.zip", "A", "8");
        addBase("b.zip", "B", "3");
        TForm1& window = start();
        const QByteArray descriptor = window.baseDescriptor().bytes();
        QFile::remove(basePath("b.zip"));
        QTest::mouseClick(control<QPushButton>("ButtonOfBase2"), Qt::LeftButton);
        QCOMPARE(boxes_->shown().size(), 1);
        QCOMPARE(boxes_->shown().first().kind, MessageKind::Error);
        QVERIFY(boxes_->shown().first().text.contains(QStringLiteral("\"B\"")));
        QVERIFY(control<QPushButton>("ButtonOfBase1")->isChecked());
        QVERIFY(!control<QPushButton>("ButtonOfBase2")->isChecked());
        QCOMPARE(window.currentBasePath(), basePath("a.zip"));
        QCOMPARE(window.baseDescriptor().bytes(), descriptor);
        QCOMPARE(window.ticketCount(), 8);
        QVERIFY(window.baseUsable());
        QVERIFY(control<QPushButton>("spSkinButton2")->isEnabled());
    }

    void layoutFollowsTheWindowSize_data() {
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QSize>("questionPage");
        QTest::addColumn<int>("toMenu");
        QTest::addColumn<int>("back");
        QTest::addColumn<int>("clock");
        QTest::addColumn<int>("lamps");
        QTest::addColumn<int>("questionNavigator");
        QTest::addColumn<int>("ticketNavigator");
        QTest::addColumn<QPoint>("pageOrigin");
        QTest::newRow("1024 x 768") << QSize(1024, 768) << QSize(1011, 733) << 964 << 924 << 440
                                    << 402 << 172 << 739 << QPoint(135, 96);
        QTest::newRow("800 x 600") << QSize(800, 600) << QSize(787, 565) << 740 << 700 << 328 << 290
                                   << 116 << 571 << QPoint(23, 12);
    }
    void layoutFollowsTheWindowSize() {
        QFETCH(QSize, outer);
        QFETCH(QSize, questionPage);
        QFETCH(int, toMenu);
        QFETCH(int, back);
        QFETCH(int, clock);
        QFETCH(int, lamps);
        QFETCH(int, questionNavigator);
        QFETCH(int, ticketNavigator);
        QFETCH(QPoint, pageOrigin);
        addBase("a.zip", "A");
        TForm1& window = start();
        window.resize(outer - QSize(TForm1::FrameWidth, TForm1::FrameHeight));
        QCoreApplication::processEvents();
        QCOMPARE(window.outerSize(), outer);
        QCOMPARE(window.questionPage()->size(), questionPage);
        QCOMPARE(control("spSkinButton8")->x(), toMenu);
        QCOMPARE(control("BackAn")->x(), back);
        QCOMPARE(control("spSkinPanel2")->x(), clock);
        QCOMPARE(control("lampPanel")->x(), lamps);
        QCOMPARE(control("spSkinGroupBox7")->x(), questionNavigator);
        QCOMPARE(control("spSkinGroupBox8")->x(), ticketNavigator);
        QCOMPARE(control("TimeGo")->width(), questionPage.width() - 5);
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(control(QStringLiteral("TestMemo%1").arg(n))->width(),
                     questionPage.width() - 80);
        QCOMPARE(control("ButtonPanel")->height(), 257);
        QCOMPARE(control("ButtonPanel")->geometry().bottom(), questionPage.height() - 1);
        QCOMPARE(control("Voproc")->y(), 49);
        QCOMPARE(control("Image16")->height(), control("Voproc")->height() - 69);
        // No question shown, no picture: the text has the whole question area.
        QVERIFY(control("Image16")->isHidden());
        QCOMPARE(control("Vopros")->height(), control("Voproc")->height());
        QCOMPARE(control("OtvetNaVopros")->size(), questionPage);
        for (const char* page : {"OpenBasePanel", "Setting", "MainPanel", "Analiz"})
            QCOMPARE(control(page)->pos(), pageOrigin);
        QCOMPARE(control("MesShow")->pos(),
                 QPoint(outer.width() / 2 - 212 - 5, outer.height() / 2 - 36 - 16));
    }

    void windowKeepsItsLowerLimit() {
        addBase("a.zip", "A");
        TForm1& window = start();
        window.resize(300, 200);
        QCOMPARE(window.outerSize(), QSize(800, 600));
        window.showMaximized();
        QCoreApplication::processEvents();
        QCOMPARE(window.questionPage()->width(), window.width());
    }

    void closingAsksFirst() {
        addBase("a.zip", "A");
        TForm1& window = start();
        boxes_->clear();
        boxes_->setNextAnswer(MessageButton::No);
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(boxes_->shown().size(), 1);
        QCOMPARE(boxes_->shown().first().kind, MessageKind::Confirmation);
        QCOMPARE(boxes_->shown().first().text,
                 QStringLiteral("Вы действительно хотите выйте из Korvel Test?"));
        QCOMPARE(boxes_->shown().first().buttons,
                 (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
        // Closing the box without a button is not "No".
        boxes_->setNextAnswer(MessageButton::None);
        QVERIFY(window.close());
    }

    void menuExitPlaysClickThenAsks() {
        addBase("a.zip", "A");
        TForm1& window = start();
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        log_->events.clear();
        boxes_->setNextAnswer(MessageButton::No);
        QTest::mouseClick(control<QPushButton>("spSkinButton17"), Qt::LeftButton);
        QCOMPARE(log_->events, (QStringList{"stop", "play CLICK",
                                            "box Вы действительно хотите выйте из Korvel Test?"}));
        QVERIFY(window.isVisible());
        // "Выход" of the base list is silent.
        log_->events.clear();
        boxes_->setNextAnswer(MessageButton::Yes);
        QTest::mouseClick(control<QPushButton>("reload"), Qt::LeftButton);
        log_->events.clear();
        QTest::mouseClick(control<QPushButton>("spSkinButton3"), Qt::LeftButton);
        QCOMPARE(log_->events, (QStringList{"box Вы действительно хотите выйте из Korvel Test?"}));
        QVERIFY(!window.isVisible());
    }

    void hoverShowsDescriptionAfterTheSound_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("panel");
        QTest::newRow("exam") << "spSkinButton12"
                              << "spSkinPanel6";
        QTest::newRow("preparation") << "spSkinButton10"
                                     << "spSkinPanel5";
        QTest::newRow("reload") << "reload"
                                << "spSkinPanel18";
        QTest::newRow("settings") << "Settings"
                                  << "spSkinPanel11";
        QTest::newRow("help") << "Spravka"
                              << "spSkinPanel17";
        QTest::newRow("about") << "spSkinButton16"
                               << "spSkinPanel4";
        QTest::newRow("exit") << "spSkinButton17"
                              << "spSkinPanel4";
        QTest::newRow("analysis") << "spSkinButton14"
                                  << "spSkinPanel9";
        QTest::newRow("report") << "ShowOtchet"
                                << "spSkinPanel10";
        QTest::newRow("errors") << "WorkError"
                                << "spSkinPanel19";
        QTest::newRow("results menu") << "spSkinButton15"
                                      << "spSkinPanel7";
    }
    void hoverShowsDescriptionAfterTheSound() {
        QFETCH(QString, button);
        QFETCH(QString, panel);
        addBase("a.zip", "A");
        TForm1& window = start();
        const bool results = button == "spSkinButton14" || button == "ShowOtchet" ||
                             button == "WorkError" || button == "spSkinButton15";
        QWidget* page = results ? static_cast<QWidget*>(window.resultsPage())
                                : static_cast<QWidget*>(window.mainMenuPage());
        // Another panel first, so the change is seen.
        enter(control(results ? "spSkinButton14" : "spSkinButton12"));
        log_->events.clear();
        enter(control(button));
        QCOMPARE(log_->events, (QStringList{"stop", "play EN"}));
        QStringList front;
        for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->property("descriptionPanel").toBool() && child->isVisibleTo(page))
                front.append(child->objectName());
        }
        QCOMPARE(front, QStringList{panel});
        // Leaving changes nothing.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(control(button), &leave);
        QCOMPARE(control(panel)->isVisibleTo(page), true);
    }

    void blankPanelsAreInFrontAtFirst() {
        addBase("a.zip", "A");
        TForm1& window = start();
        QVERIFY(control("spSkinPanel4")->isVisibleTo(window.mainMenuPage()));
        QVERIFY(!control("spSkinPanel6")->isVisibleTo(window.mainMenuPage()));
        QVERIFY(control("spSkinPanel7")->isVisibleTo(window.resultsPage()));
        QVERIFY(!control("spSkinPanel9")->isVisibleTo(window.resultsPage()));
    }

    void soundsOffStillStop() {
        addBase("a.zip", "A");
        TForm1& window = start();
        window.liveSettings().setSoundOn(false);
        log_->events.clear();
        enter(control("spSkinButton12"));
        enter(control("ButtonOfBase1"));
        enter(control("QButton"));
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("Settings"), Qt::LeftButton);
        QCOMPARE(log_->events, (QStringList{"stop", "stop", "stop", "stop"}));
        QVERIFY(control("Setting")->isVisible());
        window.liveSettings().setSoundOn(true);
        log_->events.clear();
        enter(control("ButtonOfBase1"));
        QCOMPARE(log_->events, (QStringList{"stop", "play EN"}));
    }

    void toolBarButtonsPlayTheHoverSound() {
        addBase("a.zip", "A");
        start();
        for (const char* name : {"ButtonTestChois", "PrintingButton", "SaveButton", "infoButton",
                                 "QButton", "BackAn", "spSkinButton8"}) {
            log_->events.clear();
            enter(control(name));
            QCOMPARE(log_->events, (QStringList{"stop", "play EN"}));
        }
        for (const char* name : {"BackButton", "NextButton", "PrevBilet", "NextBilet",
                                 "spSkinButton2", "ChangeBase", "spSkinButtonLabel2"}) {
            log_->events.clear();
            enter(control(name));
            QVERIFY2(log_->events.isEmpty(), name);
        }
    }

    void linksOpenTheirAddressesSilently() {
        addBase("a.zip", "A");
        start();
        log_->events.clear();
        QStringList names{"spSkinButtonLabel2", "spSkinButtonLabel3", "spSkinButtonLabel13",
                          "spSkinButtonLabel14", "spSkinButtonLabel4"};
        for (const QString& name : names)
            QTest::mouseClick(control(name), Qt::LeftButton, {}, QPoint(20, 16));
        QVERIFY(log_->events.isEmpty());
        QCOMPARE(opened_.size(), 5);
        QCOMPARE(opened_[0].path(), QStringLiteral("/index.php"));
        QCOMPARE(opened_[0].query(),
                 QStringLiteral("option=com_content&task=blogcategory&id=2&Itemid=17"));
        QCOMPARE(opened_[1].query(), QString());
        QCOMPARE(opened_[2].query(),
                 QStringLiteral("option=com_content&task=blogcategory&id=5&Itemid=13"));
        QCOMPARE(opened_[3].path(), QStringLiteral("/index.php"));
        QCOMPARE(opened_[4].scheme(), QStringLiteral("mailto"));
        for (const QUrl& url : opened_)
            QVERIFY2(url.toString().contains(".example"), qPrintable(url.toString()));
    }

    void helpOpensTheChmBesideTheProgram() {
        addBase("a.zip", "A");
        start();
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        log_->events.clear();
        QTest::mouseClick(control<QPushButton>("Spravka"), Qt::LeftButton);
        QCOMPARE(log_->events, (QStringList{"stop", "play CLICK"}));
        QCOMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(
                              QDir(folder_->path()).absoluteFilePath("help.chm"))});
        QVERIFY(window_->isEnabled());
    }

    void aboutClosesOnAClickOutsideItsLinks() {
        addBase("a.zip", "A");
        TForm1& window = start();
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        log_->events.clear();
        bool wasShown = false;
        QTimer::singleShot(0, this, [&] {
            QDialog* about = window.about();
            wasShown = about->isVisible();
            auto* link = about->findChild<LinkLabel*>("spSkinLinkLabel1");
            QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(5, 5));
            wasShown = wasShown && about->isVisible();
            QTest::mouseClick(about->findChild<QLabel*>("Label4"), Qt::LeftButton);
        });
        QTest::mouseClick(control<QPushButton>("spSkinButton16"), Qt::LeftButton);
        QVERIFY(wasShown);
        QVERIFY(!window.about()->isVisible());
        QCOMPARE(log_->events, (QStringList{"stop", "play CLICK"}));
        QCOMPARE(opened_.size(), 1);
        QCOMPARE(opened_.first().host(), QStringLiteral("www.zamtorsoft.example"));
    }

    void settingsPageReturnsToTheMainMenu() {
        addBase("a.zip", "A");
        TForm1& window = start();
        QTest::mouseClick(control<QPushButton>("spSkinButton2"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("Settings"), Qt::LeftButton);
        QVERIFY(control("Setting")->isVisible());
        QVERIFY(!window.mainMenuPage()->isVisible());
        QTest::mouseClick(control<QPushButton>("spSkinButton11"), Qt::LeftButton);
        QVERIFY(window.mainMenuPage()->isVisible());
        QVERIFY(!control("Setting")->isVisible());
    }

    void pagesAreShownOneAtATime() {
        addBase("a.zip", "A");
        TForm1& window = start();
        const QStringList pages{"Analiz",        "spSkinPanel1", "OtvetNaVopros",
                                "OpenBasePanel", "MainPanel",    "Setting"};
        for (const QString& shown : pages) {
            window.showPage(control(shown));
            for (const QString& page : pages)
                QCOMPARE(control(page)->isVisible(), page == shown);
        }
        QVERIFY(!window.progressOverlay()->isVisible());
        QCOMPARE(control("MesShow")->size(), QSize(425, 73));
        QCOMPARE(control<QProgressBar>("ProgressBar")->maximum(), 100);
    }

    void everyNamedControlOfTheQuestionPageExists() {
        addBase("a.zip", "A");
        start();
        QStringList names{"spSkinPanel3",
                          "QButton",
                          "infoButton",
                          "SaveButton",
                          "PrintingButton",
                          "spSkinPanel2",
                          "Image7",
                          "min",
                          "t2toch",
                          "sec",
                          "BackAn",
                          "spSkinButton8",
                          "TimeGo",
                          "Voproc",
                          "Image16",
                          "Vopros",
                          "ScrollBar1",
                          "Memo2",
                          "ButtonPanel",
                          "ButtonTestChois",
                          "spSkinGroupBox7",
                          "BackButton",
                          "ButtonVopros",
                          "NextButton",
                          "lampPanel",
                          "RedLamp",
                          "RedLabel",
                          "Image4",
                          "ButtonRemain",
                          "GreenLamp",
                          "GreenLabel",
                          "spSkinGroupBox8",
                          "PrevBilet",
                          "ButtonBilet",
                          "NextBilet",
                          "spSkinPanel8",
                          "spSkinButton5",
                          "Viewer",
                          "AnalizStr",
                          "Pozdr",
                          "loser"};
        for (int n = 1; n <= 5; ++n) {
            names << QStringLiteral("TestMemo%1").arg(n) << QStringLiteral("TestBut%1").arg(n)
                  << QStringLiteral("spSkinSwitch%1").arg(n)
                  << QStringLiteral("spSkinPanel%1").arg(n + 11)
                  << QStringLiteral("Label%1").arg(n + 2);
        }
        for (const QString& name : names)
            QVERIFY2(window_->findChild<QObject*>(name), qPrintable(name));
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(control(QStringLiteral("TestBut%1").arg(n))->geometry(),
                     QRect(32, 48 + 40 * (n - 1), 41, 41));
            QCOMPARE(control(QStringLiteral("TestMemo%1").arg(n))->pos(),
                     QPoint(72, 48 + 40 * (n - 1)));
            QCOMPARE(control(QStringLiteral("spSkinSwitch%1").arg(n))->parentWidget()->objectName(),
                     QStringLiteral("spSkinPanel%1").arg(n + 11));
        }
        QCOMPARE(control<QLabel>("RedLabel")->text(), QStringLiteral("00"));
        QCOMPARE(control<QLabel>("ButtonRemain")->text(), QStringLiteral("00"));
        QCOMPARE(control<QLabel>("GreenLabel")->text(), QStringLiteral("00"));
        QCOMPARE(control<QLabel>("Pozdr")->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
