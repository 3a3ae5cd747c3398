#include "sound/menu_descriptions.h"

#include <QImage>
#include <QtTest>

using namespace korvel;
using namespace Qt::StringLiterals;

namespace {

int leadingBlanks(const QString& text) {
    int n = 0;
    while (n < text.size() && text.at(n) == u' ')
        ++n;
    return n;
}

} // namespace

class TestMenuDescriptions : public QObject {
    Q_OBJECT

private slots:
    void panelOrder();
    void buttonsBringTheirPanel_data();
    void buttonsBringTheirPanel();
    void singleTexts_data();
    void singleTexts();
    void paragraphTexts_data();
    void paragraphTexts();
    void picturesLoad_data();
    void picturesLoad();
};

void TestMenuDescriptions::panelOrder() {
    QStringList main;
    for (const DescriptionPanel& panel : mainMenuDescriptions())
        main << panel.panelName;
    QCOMPARE(main, QStringList({"spSkinPanel6", "spSkinPanel5", "spSkinPanel18", "spSkinPanel11",
                                "spSkinPanel17", "spSkinPanel4"}));
    QStringList results;
    for (const DescriptionPanel& panel : resultsDescriptions())
        results << panel.panelName;
    QCOMPARE(results,
             QStringList({"spSkinPanel9", "spSkinPanel10", "spSkinPanel19", "spSkinPanel7"}));

    QCOMPARE(blankDescription(mainMenuDescriptions()).panelName, QString("spSkinPanel4"));
    QCOMPARE(blankDescription(resultsDescriptions()).panelName, QString("spSkinPanel7"));
}

void TestMenuDescriptions::buttonsBringTheirPanel_data() {
    QTest::addColumn<bool>("results");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("label");

    QTest::newRow("exam") << false << "spSkinButton12"
                          << "spSkinPanel6"
                          << "Image2"
                          << "RxLabel2";
    QTest::newRow("prep") << false << "spSkinButton10"
                          << "spSkinPanel5"
                          << "Image1"
                          << "RxLabel1";
    QTest::newRow("reload") << false << "reload"
                            << "spSkinPanel18"
                            << "Image14"
                            << "RxLabel7";
    QTest::newRow("settings") << false << "Settings"
                              << "spSkinPanel11"
                              << "Image6"
                              << "RxLabel3";
    QTest::newRow("help") << false << "Spravka"
                          << "spSkinPanel17"
                          << "Image13"
                          << "RxLabel4";
    QTest::newRow("about") << false << "spSkinButton16"
                           << "spSkinPanel4"
                           << ""
                           << "";
    QTest::newRow("exit") << false << "spSkinButton17"
                          << "spSkinPanel4"
                          << ""
                          << "";
    QTest::newRow("analysis") << true << "spSkinButton14"
                              << "spSkinPanel9"
                              << "Image8"
                              << "RxLabel5";
    QTest::newRow("report") << true << "ShowOtchet"
                            << "spSkinPanel10"
                            << "Image9"
                            << "RxLabel6";
    QTest::newRow("errors") << true << "WorkError"
                            << "spSkinPanel19"
                            << "Image15"
                            << "RxLabel8";
    QTest::newRow("menu") << true << "spSkinButton15"
                          << "spSkinPanel7"
                          << ""
                          << "";
    QTest::newRow("silent button") << false << "ChangeBase"
                                   << ""
                                   << ""
                                   << "";
    QTest::newRow("other page's button") << true << "spSkinButton12"
                                         << ""
                                         << ""
                                         << "";
}

void TestMenuDescriptions::buttonsBringTheirPanel() {
    QFETCH(bool, results);
    QFETCH(QString, button);
    QFETCH(QString, panel);
    QFETCH(QString, picture);
    QFETCH(QString, label);

    const auto& panels = results ? resultsDescriptions() : mainMenuDescriptions();
    const DescriptionPanel* found = descriptionForButton(panels, button);
    if (panel.isEmpty()) {
        QVERIFY(!found);
        return;
    }
    QVERIFY(found);
    QCOMPARE(found->panelName, panel);
    QCOMPARE(found->pictureName, picture);
    QCOMPARE(found->labelName, label);
    QCOMPARE(found->picture.isEmpty(), picture.isEmpty());
    QCOMPARE(found->text.isEmpty(), label.isEmpty());
}

void TestMenuDescriptions::singleTexts_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("text");

    QTest::newRow("RxLabel7") << "spSkinPanel18"
                              << u"    При желании Вы можете открыть другую базу из списка."_s;
    QTest::newRow("RxLabel3") << "spSkinPanel11"
                              << u"     Настроить параметры для работы с программой."_s;
    QTest::newRow("RxLabel4")
        << "spSkinPanel17"
        << u"     Открыть Справочное руководство. Оно быстро обучит Вас работать с программой."_s;
    QTest::newRow("RxLabel5")
        << "spSkinPanel9"
        << u"При необходимости вы можете проанализировать свои ответы и сопоставить их с "
           u"правильными ответами. Также, при возникновении сомнений, вы можете прочесть "
           u"вспомогательную документацию.  Зеленым помечены правильные ответы, а которые вы "
           u"ответили неправильно - красным."_s;
    QTest::newRow("RxLabel6")
        << "spSkinPanel10"
        << u"Отчет ведется основываясь на результаты сдающих Экзамен. В него заносятся: ФИО "
           u"сдающего, количество правильно и неправильно отвеченных вопросов, оценка за "
           u"вабранный режим тестирования. Распечатать отчет можно при подключенном принтере "
           u"нажав клавишу Печать. "_s;
    QTest::newRow("RxLabel8") << "spSkinPanel19"
                              << u"Провести работу над ошибками. Режим при котором будут заданы "
                                 u"вопросы на которые не было дано правильного ответа."_s;
}

void TestMenuDescriptions::singleTexts() {
    QFETCH(QString, panel);
    QFETCH(QString, text);
    QList<DescriptionPanel> all = mainMenuDescriptions();
    all += resultsDescriptions();
    const auto found = std::find_if(
        all.cbegin(), all.cend(), [&](const DescriptionPanel& p) { return p.panelName == panel; });
    QVERIFY(found != all.cend());
    QCOMPARE(found->text, text);
    QVERIFY(!found->text.contains(u'\n'));
}

void TestMenuDescriptions::paragraphTexts_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<QList<int>>("endingInBlank");
    QTest::addColumn<QString>("doubleBlankAfter");
    QTest::addColumn<QString>("lastParagraph");

    QTest::newRow("exam") << "spSkinButton12" << 4 << QList<int>{0, 2} << u"несколько"_s
                          << u"    Желаем Вам УДАЧИ!!!"_s;
    QTest::newRow("preparation")
        << "spSkinButton10" << 2 << QList<int>{} << u"вопросу"_s
        << u"    При помощи кнопки со знаком - \"?\" в левом верхнем углу, можно узнать какой "
           u"ответ (ответы) правильный, а при помощи кнопки информация - \"i\" Вы получите "
           u"подробный ответ на вопрос текущего билета."_s;
}

void TestMenuDescriptions::paragraphTexts() {
    QFETCH(QString, button);
    QFETCH(int, paragraphs);
    QFETCH(QList<int>, endingInBlank);
    QFETCH(QString, doubleBlankAfter);
    QFETCH(QString, lastParagraph);

    const DescriptionPanel* panel = descriptionForButton(mainMenuDescriptions(), button);
    QVERIFY(panel);
    const QString& text = panel->text;
    // Line breaks are CR LF and nothing else.
    QCOMPARE(text.count(u"\r\n"_s), paragraphs - 1);
    QCOMPARE(text.count(u'\n'), paragraphs - 1);
    QCOMPARE(text.count(u'\r'), paragraphs - 1);

    const QStringList parts = text.split(u"\r\n"_s);
    QCOMPARE(parts.size(), paragraphs);
    for (int i = 0; i < parts.size(); ++i) {
        QCOMPARE(leadingBlanks(parts[i]), 4);
        QCOMPARE(parts[i].endsWith(u' '), endingInBlank.contains(i));
    }
    QVERIFY(text.contains(doubleBlankAfter + u"  "_s));
    QCOMPARE(parts.last(), lastParagraph);
}

void TestMenuDescriptions::picturesLoad_data() {
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("picture");
    QList<DescriptionPanel> all = mainMenuDescriptions();
    all += resultsDescriptions();
    for (const DescriptionPanel& panel : all)
        QTest::newRow(qPrintable(panel.panelName)) << panel.panelName << panel.picture;
}

void TestMenuDescriptions::picturesLoad() {
    QFETCH(QString, picture);
    if (picture.isEmpty())
        return;
    const QImage image(picture);
    QVERIFY2(!image.isNull(), qPrintable(picture));
    QCOMPARE(image.size(), QSize(329, 193));
}

QTEST_GUILESS_MAIN(TestMenuDescriptions)
#include "tst_menu_descriptions.moc"
