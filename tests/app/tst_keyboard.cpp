// The program by keyboard alone, through the real window: the digits answer
// the row beside their label after the shuffle, whole runs go by without a
// mouse event, and every control that takes the focus shows it.
#include "app/literature_page.h"
#include "app/main_menu_page.h"
#include "app/open_base_page.h"
#include "app/question_page.h"
#include "app/results_page.h"
#include "app/settings_page.h"
#include "engine/run_engine.h"
#include "resources/skin_style.h"
#include "tests/app/window_fixture.h"
#include "tests/support/test_base_builder.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTextEdit>

using namespace korvel;

namespace {

// Every mouse button event the application delivers.
class MouseCounter final : public QObject {
public:
    int events = 0;
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            ++events;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }
};

// Where a key goes: the focused control, or the active window.
QWidget* keyTarget() {
    if (QWidget* focused = QApplication::focusWidget())
        return focused;
    return QApplication::activeWindow();
}

void key(int code, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(keyTarget(), Qt::Key(code), modifiers);
}

QString focusedName() {
    QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString();
}

// Tab until the control of that name has the focus.
bool tabTo(const QString& name) {
    for (int k = 0; k < 80 && focusedName() != name; ++k)
        key(Qt::Key_Tab);
    return focusedName() == name;
}

} // namespace

class KeyboardTest : public QObject, public WindowFixture {
    Q_OBJECT

    MouseCounter mouse_;

    void activate() {
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    // The number label beside answer row n, as it stands now.
    int labelOf(int n) const {
        return (control(QStringLiteral("TestMemo%1").arg(n))->y() - 48) / 40 + 1;
    }
    bool rowVisible(int n) const {
        return control(QStringLiteral("TestMemo%1").arg(n))->isVisible();
    }

    // Answers the question shown with the digits (and Enter for the
    // switches), right or wrong, and lets its lamp go off.
    void answerByKeys(bool right) {
        const int t = window_->CurrentTicket();
        const int q = window_->CurrentQuestion();
        const auto isRight = [&](int n) { return window_->rightAnswers().flag(t, q, n); };
        if (window_->AnswerMode() == 0) {
            QList<int> chosen;
            for (int n = 1; n <= 5; ++n) {
                if (rowVisible(n) && isRight(n) == right)
                    chosen.append(n);
            }
            if (!right)
                chosen = chosen.mid(0, 1);
            for (int n : chosen)
                key(Qt::Key_0 + labelOf(n));
            key(Qt::Key_Return);
        } else {
            const int n = right ? rightAnswerOfShownQuestion() : wrongAnswerOfShownQuestion();
            key(Qt::Key_0 + labelOf(n));
        }
        QVERIFY(lit(right ? "GreenLamp" : "RedLamp"));
        if (right)
            window_->Timer3Timer();
        else
            window_->Timer2Timer();
    }

private slots:
    void init() {
        setUpWindow();
        mouse_.events = 0;
        qApp->installEventFilter(&mouse_);
    }
    void cleanup() {
        qApp->removeEventFilter(&mouse_);
        tearDownWindow();
    }

    // Key n acts on the row beside label n, wherever the shuffle has put the
    // rows; beside a label without a row it does nothing.
    void digitAnswersTheRowBesideItsLabel_data() {
        QTest::addColumn<bool>("multiple");
        QTest::addColumn<int>("label");
        QTest::addColumn<int>("row"); // 0: none stands there
        // The draws 2, 0, 0 put row 3 beside label 1, row 1 beside 2, row 2 beside 3.
        for (bool multiple : {false, true}) {
            const char* kind = multiple ? "switches" : "buttons";
            QTest::addRow("%s, label 1", kind) << multiple << 1 << 3;
            QTest::addRow("%s, label 2", kind) << multiple << 2 << 1;
            QTest::addRow("%s, label 3", kind) << multiple << 3 << 2;
            QTest::addRow("%s, label 4", kind) << multiple << 4 << 0;
        }
    }
    void digitAnswersTheRowBesideItsLabel() {
        QFETCH(bool, multiple);
        QFETCH(int, label);
        QFETCH(int, row);
        RecordContainerWriter record;
        record.add("vop", "yes", multiple ? "0" : "2");
        record.add("vop", "ot1", "Синий квадрат");
        record.add("vop", "ot2", "Красный круг");
        record.add("vop", "ot3", "Жёлтый ромб");
        if (multiple)
            record.add("vop", "V2", "1");
        TestBaseBuilder base;
        base.setCounts(1, 1);
        base.addQuestion(1, 1, "Какая фигура красная?", record);
        const QString path = QDir(QDir::tempPath()).filePath("korvel_shuffle_base.zip");
        base.write(path);
        start(path);
        QFile::remove(path);
        window_->liveSettings().setTusPod(true);
        draws_ = {2, 0, 0, 0, 0};
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        activate();
        // The labels stand still at their own tops, the rows moved.
        for (int n = 1; n <= 5; ++n)
            QCOMPARE(control(QStringLiteral("Label%1").arg(n + 2))->y(), 56 + 40 * (n - 1));
        QCOMPARE((QList<int>{labelOf(3), labelOf(1), labelOf(2)}), (QList<int>{1, 2, 3}));

        key(Qt::Key_0 + label);
        const int chosen = [&] {
            for (int n = 1; n <= 5; ++n) {
                if (multiple ? control<QAbstractButton>(QStringLiteral("spSkinSwitch%1").arg(n))
                                   ->isChecked()
                             : window_->chosenAnswers().flag(1, 1, n))
                    return n;
            }
            return 0;
        }();
        QCOMPARE(chosen, row);
        QCOMPARE(lit("GreenLamp") || lit("RedLamp"), !multiple && row != 0);
        if (multiple && row != 0) {
            QCOMPARE(color(row), MarkedColor);
            // The same key again switches it off; keypad digits count as well.
            key(Qt::Key_0 + label, Qt::KeypadModifier);
            QVERIFY(
                !control<QAbstractButton>(QStringLiteral("spSkinSwitch%1").arg(row))->isChecked());
            key(Qt::Key_0 + label);
            key(Qt::Key_Enter, Qt::KeypadModifier);
            QCOMPARE(lit("GreenLamp"), row == 2);
            QCOMPARE(lit("RedLamp"), row != 2);
        }
    }

    // A preparation run of ticket 1 from the base list to the main menu again,
    // keys only, with the answers shuffled: the steps, the literature page and
    // what the keys must leave alone on the way.
    // The base buttons take no focus; the list does, and its arrows, Home
    // and End open the base above or below, as a click would.
    void arrowsInTheBaseListOpenAnotherBase() {
        QDir(folder_->path()).mkpath("Base");
        for (const char* name : {"Base/second.zip", "Base/third.zip"})
            standardBase(2, 2).write(folder_->filePath(name));
        open();
        activate();
        OpenBasePage* page = window_->openBasePage();
        QVERIFY(page->baseButton(3) && !page->baseButton(4));
        const auto pressed = [&] {
            QPushButton* button = page->pressedBaseButton();
            return button ? button->objectName() : QString();
        };
        QVERIFY(tabTo("spSkinScrollBox1"));
        QCOMPARE(pressed(), QStringLiteral("ButtonOfBase1"));
        key(Qt::Key_End);
        QCOMPARE(pressed(), QStringLiteral("ButtonOfBase3"));
        QVERIFY(window_->currentBasePath().endsWith(
            page->baseButton(3)->property("archive").toString()));
        key(Qt::Key_Down); // already the last
        QCOMPARE(pressed(), QStringLiteral("ButtonOfBase3"));
        key(Qt::Key_Up);
        QCOMPARE(pressed(), QStringLiteral("ButtonOfBase2"));
        key(Qt::Key_Home);
        QCOMPARE(pressed(), QStringLiteral("ButtonOfBase1"));
        key(Qt::Key_Down);
        QCOMPARE(pressed(), QStringLiteral("ButtonOfBase2"));
        const QString chosen = window_->currentBasePath();
        QVERIFY(chosen.endsWith(page->baseButton(2)->property("archive").toString()));
        QCOMPARE(focusedName(), QStringLiteral("spSkinScrollBox1"));
        QVERIFY(tabTo("spSkinButton2"));
        key(Qt::Key_Return);
        QVERIFY(window_->mainMenuPage()->isVisible());
        QCOMPARE(window_->currentBasePath(), chosen);
        QCOMPARE(mouse_.events, 0);
    }

    void wholePreparationRunByKeyboard() {
        open();
        activate();
        window_->liveSettings().setTusPod(true);
        draws_ = {3, 1, 0, 1, 0, 4, 2, 0, 1, 0, 1, 1, 0, 0, 0};
        QVERIFY(tabTo("spSkinButton2"));
        key(Qt::Key_Return);
        QVERIFY(window_->mainMenuPage()->isVisible());
        dialog_ = [](QDialog& dialog) {
            QApplication::setActiveWindow(&dialog);
            auto* list = inside<QListWidget>(&dialog, "spSkinListBox1");
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Space); // the current row: ticket 1
            QTest::keyClick(list, Qt::Key_Return);
        };
        QVERIFY(tabTo("spSkinButton10"));
        key(Qt::Key_Return);
        activate();
        QVERIFY(window_->questionPage()->isVisible());
        QCOMPARE(window_->ChosenTickets(), (QList<bool>{true, false, false, false}));
        QCOMPARE(text("ButtonVopros"), QStringLiteral("1"));

        // The steps: question 2 and back, ticket steps stay on the one ticket.
        key(Qt::Key_Right);
        QCOMPARE(text("ButtonVopros"), QStringLiteral("2"));
        key(Qt::Key_Left);
        QCOMPARE(text("ButtonVopros"), QStringLiteral("1"));
        key(Qt::Key_PageDown);
        QCOMPARE(text("ButtonBilet") + "/" + text("ButtonVopros"), QStringLiteral("1/1"));
        // Enter on a single-answer question, nothing focused to press: nothing.
        boxes_->clear();
        key(Qt::Key_Return);
        QVERIFY(boxes_->shown().isEmpty());

        // The literature page of question 1, by Tab to its button, and Escape.
        QVERIFY(tabTo("infoButton"));
        key(Qt::Key_Return);
        QVERIFY(window_->literaturePage()->isVisible());
        QVERIFY(tabTo("Viewer"));
        key(Qt::Key_Escape);
        QVERIFY(window_->questionPage()->isVisible());
        QCOMPARE(text("ButtonVopros"), QStringLiteral("1"));
        QCOMPARE(focusedName(), QStringLiteral("Vopros"));

        // Questions 1 and 2 right; during the lamp interval the steps wait.
        key(Qt::Key_0 + labelOf(rightAnswerOfShownQuestion()));
        QVERIFY(lit("GreenLamp"));
        key(Qt::Key_Right);
        key(Qt::Key_PageDown);
        key(Qt::Key_0 + labelOf(2));
        QCOMPARE(text("ButtonVopros"), QStringLiteral("1"));
        QCOMPARE(counters(), QStringLiteral("01/00/05"));
        window_->Timer3Timer();
        answerByKeys(true);
        // Question 3 (right 1, 2, 5) wrong with one switch, 4 right, 5 wrong.
        QCOMPARE(window_->AnswerMode(), 0);
        answerByKeys(false);
        answerByKeys(true);
        QCOMPARE(counters(), QStringLiteral("03/01/01"));
        answerByKeys(false);
        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(text("AnalizStr"), QStringLiteral("Ужасно отвечаете! Оценка - 3"));

        // Analysis by keys: the digits are dead, the steps visit every question.
        QVERIFY(tabTo("spSkinButton14"));
        key(Qt::Key_Space);
        QVERIFY(window_->AnalysisFlag());
        key(Qt::Key_1);
        QVERIFY(!lit("GreenLamp") && !lit("RedLamp"));
        key(Qt::Key_Right);
        QCOMPARE(text("ButtonVopros"), QStringLiteral("2"));
        QVERIFY(tabTo("BackAn"));
        key(Qt::Key_Return);
        QVERIFY(window_->resultsPage()->isVisible());

        // The report hides the steps: the arrows do nothing there.
        QVERIFY(tabTo("ShowOtchet"));
        key(Qt::Key_Return);
        QVERIFY(control("SaveButton")->isVisible());
        key(Qt::Key_Right);
        key(Qt::Key_PageDown);
        QVERIFY(window_->questionPage()->text()->toPlainText().contains("Ваши результаты:"));
        QVERIFY(control("SaveButton")->isVisible());
        QVERIFY(tabTo("BackAn"));
        key(Qt::Key_Return);
        boxes_->setNextAnswer(MessageButton::Yes);
        QVERIFY(tabTo("spSkinButton15"));
        key(Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(window_->mainMenuPage()->isVisible());
        QCOMPARE(mouse_.events, 0);
    }

    // An exam of three drawn tickets, the name typed and every answer given
    // by keys, with the exam shuffle on.
    void wholeExamByKeyboard() {
        open();
        activate();
        window_->liveSettings().setTusEkz(true);
        QVERIFY(tabTo("spSkinButton2"));
        key(Qt::Key_Space);
        draws_ = {1, 2, 0};
        dialog_ = [](QDialog& dialog) {
            QApplication::setActiveWindow(&dialog);
            auto* name = inside<QLineEdit>(&dialog, "spSkinEdit1");
            name->setFocus();
            typeText(name, QStringLiteral("Сидоров С. С."));
            QTest::keyClick(name, Qt::Key_Return);
        };
        QVERIFY(tabTo("spSkinButton12"));
        key(Qt::Key_Return);
        activate();
        QCOMPARE(window_->RunMode(), QStringLiteral("Ekz"));
        QCOMPARE(counters(), QStringLiteral("00/00/15"));
        for (int k = 0; k < 15; ++k)
            answerByKeys(k % 5 != 0);
        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(counters(), QStringLiteral("12/03/00"));
        QCOMPARE(text("AnalizStr"), QStringLiteral("Поздравляем ВЫ сдали Экзамен!!! Оценка -4"));
        QCOMPARE(mouse_.events, 0);
    }

    // Tab stops on every page: each control that takes the focus looks
    // different with it, so the user sees where Space and Enter go.
    void everyFocusableControlShowsTheFocus() {
        qApp->setStyleSheet(skinStyleSheet());
        open();
        activate();
        choosePreparationTickets({0});
        QStringList unmarked;
        QSet<QString> seen;
        const auto visit = [&] {
            const QList<QWidget*> widgets = window_->findChildren<QWidget*>();
            for (QWidget* widget : widgets) {
                if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible() ||
                    !widget->isEnabled() || widget->objectName().isEmpty() || widget->focusProxy())
                    continue;
                window_->setFocus();
                const QImage without = widget->grab().toImage();
                widget->setFocus(Qt::TabFocusReason);
                if (!widget->hasFocus())
                    continue;
                seen.insert(widget->objectName());
                if (widget->grab().toImage() == without)
                    unmarked.append(widget->objectName());
            }
        };
        visit(); // the base list
        window_->spSkinButton2Click();
        visit(); // the main menu
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        activate();
        visit(); // a single-answer question
        window_->runEngine().NextButtonClick();
        window_->runEngine().NextButtonClick();
        visit(); // a multiple-answer question
        window_->runEngine().infoButtonClick();
        visit(); // the literature page
        for (QWidget* page :
             std::initializer_list<QWidget*>{window_->resultsPage(), window_->settingsPage()}) {
            window_->showPage(page);
            visit();
        }
        qApp->setStyleSheet(QString());
        QVERIFY2(unmarked.isEmpty(), qPrintable(unmarked.join(", ")));
        for (const char* name :
             {"spSkinButton2", "spSkinButton10", "ButtonTestChois", "NextButton", "PrevBilet",
              "QButton", "TestBut1", "spSkinSwitch1", "spSkinButton5", "ShowOtchet", "Viewer"})
            QVERIFY2(seen.contains(QLatin1String(name)), name);
    }
};

QTEST_MAIN(KeyboardTest)
#include "tst_keyboard.moc"
