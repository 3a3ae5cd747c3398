// After the run, through the real window on the demo base: the literature
// pages behind the questions, analysis, work on errors to the end, and the
// report shown, saved twice and printed to a PDF file.
#include "app/literature_page.h"
#include "app/question_page.h"
#include "app/results_page.h"
#include "tests/app/window_fixture.h"

#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

using namespace korvel;

class AfterTheRunTest : public QObject, public WindowFixture {
    Q_OBJECT

    bool switchOn(int n) const {
        return control<QAbstractButton>(QStringLiteral("spSkinSwitch%1").arg(n))->isChecked();
    }

    QTextBrowser* viewer() const { return window_->literaturePage()->viewer(); }
    QString report() const { return window_->questionPage()->text()->toPlainText(); }

private slots:
    void init() { setUpWindow(); }
    void cleanup() { tearDownWindow(); }

    // The page opens at the question's anchor, in its own code page; closing
    // it brings the question back exactly as it was left.
    void literatureBehindAQuestion() {
        start();
        choosePreparationTickets({0});
        click("spSkinButton10");
        QVERIFY(control("infoButton")->isVisible());
        click("infoButton");
        QVERIFY(window_->literaturePage()->isVisible());
        QVERIFY(!window_->questionPage()->isVisible());
        QCOMPARE(viewer()->source().fileName(), QStringLiteral("pomosh.htm"));
        QCOMPARE(viewer()->source().fragment(), QStringLiteral("osvobozhdenie"));
        QVERIFY(viewer()->toPlainText().contains(QStringLiteral("Освобождение от действия тока")));
        QVERIFY(window_->isEnabled() && !control("MesShow")->isVisible());

        // Links: the one under the pointer in fuchsia, pages followed in the
        // viewer, a mail address handed to the desktop.
        const int at = viewer()->toPlainText().indexOf(QStringLiteral("Общие правила"));
        QVERIFY(at > 0);
        const auto linkColour = [this, at] {
            QTextCursor cursor(viewer()->document());
            cursor.setPosition(at + 1);
            return cursor.charFormat().foreground().color();
        };
        const QColor plain = linkColour();
        emit viewer()->highlighted(QUrl(QStringLiteral("pravila.htm")));
        QCOMPARE(linkColour(), QColor(Qt::magenta));
        emit viewer()->highlighted(QUrl());
        QCOMPARE(linkColour(), plain);
        emit viewer()->anchorClicked(QUrl(QStringLiteral("mailto:ohrana.truda@example.org")));
        QCOMPARE(openedUrls_, QList<QUrl>{QUrl(QStringLiteral("mailto:ohrana.truda@example.org"))});
        emit viewer()->anchorClicked(QUrl(QStringLiteral("pravila.htm")));
        QCOMPARE(viewer()->source().fileName(), QStringLiteral("pravila.htm"));
        QVERIFY(
            viewer()->toPlainText().contains(QStringLiteral("Общие правила электробезопасности")));
        click("spSkinButton5");
        QVERIFY(window_->questionPage()->isVisible());
        QVERIFY(viewer()->toPlainText().isEmpty());
        QCOMPARE(window_->CurrentQuestion(), 1);

        // Question 3 takes several answers: two switches on, then the page.
        click("NextButton");
        click("NextButton");
        QCOMPARE(window_->AnswerMode(), 0);
        click("spSkinSwitch1");
        click("spSkinSwitch4");
        click("infoButton");
        QCOMPARE(viewer()->source().fragment(), QStringLiteral("udlinitel"));
        QVERIFY(viewer()->verticalScrollBar()->value() > 0);
        window_->Timer4Timer(); // the clock goes on behind the page
        click("spSkinButton5");
        QVERIFY(switchOn(1) && switchOn(4) && !switchOn(2));
        QCOMPARE(color(1), MarkedColor);
        QCOMPARE(color(4), MarkedColor);
        QCOMPARE(counters(), QStringLiteral("00/00/05"));
        QVERIFY(control("ButtonTestChois")->isEnabled());

        // A page gone since the question was shown: the button does nothing.
        QVERIFY(QFile::remove(folder_->filePath("Help/pribory.htm")));
        click("infoButton");
        QVERIFY(window_->questionPage()->isVisible());
        QVERIFY(boxes_->shown().isEmpty());
    }

    void analysisWorkOnErrorsAndTheReport() {
        settings_->setValue("NumBil", 4);
        start();
        dialog_ = [](QDialog& dialog) {
            auto* name = inside<QLineEdit>(&dialog, "spSkinEdit1");
            name->setFocus();
            typeText(name, QStringLiteral("Петров П.П."));
            QTest::mouseClick(inside<QPushButton>(&dialog, "spSkinButton1"), Qt::LeftButton);
        };
        click("spSkinButton12");
        QCOMPARE(window_->ChosenTickets(), (QList<bool>{true, true, true, true}));
        // Right only on every third question: 7 of 20.
        for (int k = 0; window_->questionPage()->isVisible(); ++k)
            answer(k % 3 == 0);
        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(text("AnalizStr"), QStringLiteral("ВЫ не сдали Экзамен! Оценка - 2"));

        // Analysis: every question of both tickets, from the ticket the run
        // ended on; nothing answers.
        click("spSkinButton14");
        QVERIFY(window_->questionPage()->isVisible() && window_->AnalysisFlag());
        QVERIFY(control("BackAn")->isVisible());
        QVERIFY(!control("TestBut1")->isEnabled());
        QCOMPARE(window_->CurrentTicket(), 4);
        QCOMPARE(window_->CurrentQuestion(), 1);
        for (int k = 0; k < 5; ++k)
            click("NextButton");
        QCOMPARE(window_->CurrentTicket(), 1);
        QCOMPARE(window_->CurrentQuestion(), 1);
        click("BackAn");
        QVERIFY(window_->resultsPage()->isVisible());

        // The report: shown, shown again the same, saved twice, printed.
        click("ShowOtchet");
        QVERIFY(window_->questionPage()->isVisible());
        QVERIFY(control("SaveButton")->isVisible() && control("PrintingButton")->isVisible());
        QVERIFY(!control("ButtonPanel")->isVisible());
        QVERIFY(window_->isEnabled() && !control("MesShow")->isVisible());
        const QString composed = report();
        QVERIFY(composed.startsWith(QStringLiteral("Уважаемый(ая)  Петров П.П.\nВаши результаты:\n"
                                                   "Были отобраны билеты - 1; 2; 3; 4; \n"
                                                   "Общее количество вопросов - 20\n")));
        QVERIFY(composed.contains(QStringLiteral("Вы допустили ошибки в билете под номером 3")));
        click("BackAn");
        click("ShowOtchet");
        QCOMPARE(report(), composed);

        const QString path = folder_->filePath("Otchet.RTF");
        saveAnswer_ = path;
        click("SaveButton");
        QCOMPARE(saveRequest_.title, QStringLiteral("Save file"));
        QCOMPARE(saveRequest_.proposedName, QStringLiteral("Otchet.RTF"));
        QCOMPARE(boxes_->shown().last().text, QStringLiteral("Отчет сохранен ..."));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray first = saved.readAll();
        saved.close();
        boxes_->setNextAnswer(MessageButton::No);
        window_->questionPage()->text()->document()->setPlainText(QStringLiteral("other"));
        click("SaveButton");
        QCOMPARE(boxes_->shown().last().text, QStringLiteral("Файл уже существует. Заменить?"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), first);
        saved.close();
        click("BackAn");
        click("ShowOtchet");

        printFile_ = folder_->filePath("report.pdf");
        click("PrintingButton");
        QCOMPARE(printJob_, QStringLiteral("OtcetPrint"));
        QFile pdf(printFile_);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray printed = pdf.readAll();
        QVERIFY(printed.startsWith("%PDF"));
        QVERIFY2(printed.count("/Type /Page\n") + printed.count("/Type /Page ") >= 2,
                 "the report of 13 wrong questions takes more than one page");

        // Work on errors, until nothing is wrong.
        click("BackAn");
        click("WorkError");
        QVERIFY(window_->questionPage()->isVisible() && !window_->AnalysisFlag());
        QCOMPARE(counters(), QStringLiteral("00/00/13"));
        QVERIFY(!control("ShowOtchet")->isEnabled());
        for (int k = 0; window_->questionPage()->isVisible(); ++k)
            answer(k != 0);
        QCOMPARE(text("AnalizStr"),
                 QStringLiteral("Работа над ошибками прошла ХОРОШО! Оценка - 5"));
        QVERIFY(control("ShowOtchet")->isEnabled());
        click("WorkError");
        QCOMPARE(counters(), QStringLiteral("00/00/01"));
        answer(true);
        QCOMPARE(text("AnalizStr"),
                 QStringLiteral("Работа над ошибками прошла ХОРОШО! Оценка - 5"));
        boxes_->clear();
        click("WorkError");
        QCOMPARE(boxes_->shown().size(), 1);
        QCOMPARE(boxes_->shown().first().text,
                 QStringLiteral("Вы на все вопросы ответили правильно !"));
        QVERIFY(window_->resultsPage()->isVisible());
    }
};

QTEST_MAIN(AfterTheRunTest)
#include "tst_after_the_run.moc"
