// The pure rules of a run: counters' form, countdown, grading, navigation
// searches, shuffle placement and colouring.
#include "engine/colouring.h"
#include "engine/exam_clock.h"
#include "engine/grading.h"
#include "engine/navigation.h"
#include "engine/presentation.h"

#include <QRandomGenerator>
#include <QTest>

using namespace korvel;

namespace {
// tickets x questions, tickets in `chosen` chosen, `answered` as "t.q" pairs.
RunState runState(int tickets, int questions, const QList<int>& chosen,
                  const QList<QPair<int, int>>& answered) {
    RunState state;
    state.TicketCount = tickets;
    state.QuestionsPerTicket = questions;
    state.ChosenAnswers = AnswerMatrix(tickets, questions);
    state.RightAnswers = AnswerMatrix(tickets, questions);
    state.ChosenTickets = QList<bool>(tickets, false);
    for (int t : chosen)
        state.ChosenTickets[t - 1] = true;
    for (const auto& [t, q] : answered)
        state.ChosenAnswers.setFlag(t, q, 2, true);
    return state;
}

QByteArray flags(const QList<int>& set) {
    QByteArray cell(5, '\0');
    for (int n : set)
        cell[n - 1] = 1;
    return cell;
}

const AnswerColours Colours{1, 2, 3, 4, 5};
} // namespace

class EngineRulesTest : public QObject {
    Q_OBJECT
private slots:
    void countersAndClock_data() {
        QTest::addColumn<int>("elapsed");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("min");
        QTest::addColumn<QString>("sec");
        QTest::newRow("first tick of 1 minute") << 1 << 1 << "00"
                                                << "58";
        QTest::newRow("59th tick of 1 minute") << 59 << 1 << "00"
                                               << "00";
        QTest::newRow("first tick of 10 minutes") << 1 << 10 << "09"
                                                  << "58";
        QTest::newRow("a minute into 10") << 60 << 10 << "08"
                                          << "59";
        QTest::newRow("99 minutes") << 1 << 99 << "98"
                                    << "58";
    }
    void countersAndClock() {
        QFETCH(int, elapsed);
        QFETCH(int, limit);
        const ClockTexts texts = countdownTexts(elapsed, limit);
        QFETCH(QString, min);
        QFETCH(QString, sec);
        QCOMPARE(texts.min, min);
        QCOMPARE(texts.sec, sec);
    }

    void twoDigitForm() {
        QCOMPARE(twoDigits(0), QStringLiteral("00"));
        QCOMPARE(twoDigits(9), QStringLiteral("09"));
        QCOMPARE(twoDigits(10), QStringLiteral("10"));
        QCOMPARE(twoDigits(150), QStringLiteral("150"));
    }

    void grading_data() {
        QTest::addColumn<int>("right");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("grade");
        QTest::newRow("9 of 9") << 9 << 9 << 100 << 5;
        QTest::newRow("4 of 5") << 4 << 5 << 80 << 4;
        QTest::newRow("13 of 16") << 13 << 16 << 81 << 5;
        QTest::newRow("8 of 16") << 8 << 16 << 50 << 2;
        QTest::newRow("51 of 100") << 51 << 100 << 51 << 3;
        QTest::newRow("2 of 3") << 2 << 3 << 66 << 4;
        QTest::newRow("3 of 10") << 3 << 10 << 30 << 2;
        QTest::newRow("6 of 10") << 6 << 10 << 60 << 3;
        QTest::newRow("61 of 100") << 61 << 100 << 61 << 4;
        QTest::newRow("0 of 1") << 0 << 1 << 0 << 2;
        QTest::newRow("large run") << 999999 << 1000000 << 99 << 5;
    }
    void grading() {
        QFETCH(int, right);
        QFETCH(int, total);
        QFETCH(int, percent);
        QCOMPARE(percentage(right, total), percent);
        QFETCH(int, grade);
        QCOMPARE(gradeFor(percent), grade);
    }

    void resultTexts() {
        QCOMPARE(resultText(RunKind::Exam, true),
                 QStringLiteral("Поздравляем ВЫ сдали Экзамен!!! Оценка -"));
        QCOMPARE(resultText(RunKind::Exam, false),
                 QStringLiteral("ВЫ не сдали Экзамен! Оценка - "));
        QCOMPARE(resultText(RunKind::Preparation, true),
                 QStringLiteral("Отлично отвечаете! Оценка - "));
        QCOMPARE(resultText(RunKind::Preparation, false),
                 QStringLiteral("Ужасно отвечаете! Оценка - "));
        QCOMPARE(resultText(RunKind::WorkOnErrors, true),
                 QStringLiteral("Работа над ошибками прошла ХОРОШО! Оценка - "));
        QCOMPARE(resultText(RunKind::WorkOnErrors, false),
                 QStringLiteral("Работа над ошибками прошла ПЛОХО! Оценка - "));
    }

    void ticketSearch_data() {
        QTest::addColumn<int>("tickets");
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<QList<int>>("fullTickets");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("found");
        QTest::newRow("next chosen") << 5 << QList<int>{2, 5} << QList<int>{2} << 2 << 1 << 5;
        QTest::newRow("wraps forward") << 5 << QList<int>{1, 3} << QList<int>{3} << 3 << 1 << 1;
        QTest::newRow("backward") << 5 << QList<int>{1, 3} << QList<int>{1} << 1 << -1 << 3;
        QTest::newRow("start examined last") << 4 << QList<int>{2} << QList<int>{} << 2 << 1 << 2;
        QTest::newRow("skips unchosen") << 4 << QList<int>{1, 3} << QList<int>{} << 1 << 1 << 3;
        QTest::newRow("gives up") << 4 << QList<int>{1, 3} << QList<int>{1, 3} << 1 << 1 << 0;
        QTest::newRow("one ticket, gives up")
            << 1 << QList<int>{1} << QList<int>{1} << 1 << -1 << 0;
    }
    void ticketSearch() {
        QFETCH(int, tickets);
        QFETCH(QList<int>, fullTickets);
        QList<QPair<int, int>> answered;
        for (int t : fullTickets)
            for (int q = 1; q <= 3; ++q)
                answered.append({t, q});
        QFETCH(QList<int>, chosen);
        const RunState state = runState(tickets, 3, chosen, answered);
        QFETCH(int, start);
        QFETCH(int, direction);
        QFETCH(int, found);
        QCOMPARE(searchTicket(state, start, direction), found);
    }

    void unansweredSearch() {
        // Questions 1, 2 and 4 of 5 answered.
        const RunState state = runState(1, 5, {1}, {{1, 1}, {1, 2}, {1, 4}});
        QCOMPARE(firstUnansweredFrom(state, 1, 1), 3);
        QCOMPARE(firstUnansweredFrom(state, 1, 4), 5);
        QCOMPARE(lastUnansweredFrom(state, 1, 5), 5);
        QCOMPARE(lastUnansweredFrom(state, 1, 4), 3);
        QCOMPARE(wrapped(5, 1, 5), 1);
        QCOMPARE(wrapped(1, -1, 5), 5);
        const RunState full = runState(1, 2, {1}, {{1, 1}, {1, 2}});
        QCOMPARE(firstUnansweredFrom(full, 1, 1), 0);
    }

    void analysisTicketSteps() {
        const RunState state = runState(6, 2, {2, 4}, {});
        QCOMPARE(nextChosenTicket(state, 4, 1), 2);
        QCOMPARE(nextChosenTicket(state, 2, -1), 4);
        QCOMPARE(nextChosenTicket(state, 2, 1), 4);
        const RunState single = runState(3, 2, {2}, {});
        QCOMPARE(nextChosenTicket(single, 2, 1), 2);
    }

    void listing() {
        RunState state = runState(2, 2, {1}, {});
        state.ChosenAnswers.setFlag(1, 2, 1, true);
        state.ChosenAnswers.setFlag(1, 2, 5, true);
        QCOMPARE(answerListing(state),
                 QStringLiteral("Билет: 1\nВопрос: 1/// - 00000\nВопрос: 2/// - 10001\n"
                                "Билет: 2\nВопрос: 1/// - 00000\nВопрос: 2/// - 00000\n"));
    }

    // Whatever the draws, the shown rows take the first slots, each once,
    // and the hidden rows stay where they were; every order can come up.
    void shuffleIsAPackedPermutation() {
        QRandomGenerator generator(7);
        const auto random = [&](int low, int high) {
            return int(generator.bounded(low, high + 1));
        };
        for (int mask = 0; mask < 32; ++mask) {
            std::array<AnswerRowState, AnswerRows> rows;
            int shown = 0;
            for (int n = 1; n <= AnswerRows; ++n) {
                rows[size_t(n - 1)].memoVisible = mask & (1 << (n - 1));
                rows[size_t(n - 1)].top = rowHomeTop(n) + 1000;
                shown += rows[size_t(n - 1)].memoVisible ? 1 : 0;
            }
            QSet<QList<int>> orders;
            for (int k = 0; k < 3000; ++k) {
                const auto tops = shuffledTops(rows, random);
                QList<int> shownTops;
                for (int n = 1; n <= AnswerRows; ++n) {
                    if (rows[size_t(n - 1)].memoVisible)
                        shownTops.append(tops[size_t(n - 1)]);
                    else
                        QCOMPARE(tops[size_t(n - 1)], rowHomeTop(n) + 1000);
                }
                orders.insert(shownTops);
                std::sort(shownTops.begin(), shownTops.end());
                for (int slot = 1; slot <= shown; ++slot)
                    QCOMPARE(shownTops.at(slot - 1), rowHomeTop(slot));
            }
            int permutations = 1;
            for (int k = 2; k <= shown; ++k)
                permutations *= k;
            QCOMPARE(int(orders.size()), permutations);
        }
        // A source that always gives the same number still ends.
        std::array<AnswerRowState, AnswerRows> rows;
        const auto tops = shuffledTops(rows, [](int, int) { return 0; });
        QCOMPARE(tops[0], 48);
        QCOMPARE(tops[4], 208);
    }

    void colouring_data() {
        QTest::addColumn<QList<int>>("chosen");
        QTest::addColumn<QList<int>>("right");
        QTest::addColumn<bool>("analysis");
        QTest::addColumn<QList<int>>("switchesOn");
        QTest::addColumn<QList<int>>("colours");
        QTest::addColumn<QList<int>>("switchesAfter");
        // 0: untouched (the box keeps 99).
        QTest::newRow("unanswered shows nothing")
            << QList<int>{} << QList<int>{4} << false << QList<int>{}
            << QList<int>{99, 99, 99, 99, 99} << QList<int>{};
        QTest::newRow("wrong single answer")
            << QList<int>{2} << QList<int>{4} << false << QList<int>{}
            << QList<int>{99, Colours.wrong, 99, Colours.right, 99} << QList<int>{};
        QTest::newRow("multiple, 1 and 4 of right 1 and 3")
            << QList<int>{1, 4} << QList<int>{1, 3} << false << QList<int>{}
            << QList<int>{Colours.chosen, 99, Colours.right, Colours.wrong, 99} << QList<int>{};
        QTest::newRow("analysis turns chosen switches on, no marked colour")
            << QList<int>{1, 4} << QList<int>{1, 3} << true << QList<int>{}
            << QList<int>{Colours.chosen, 99, Colours.right, Colours.wrong, 99} << QList<int>{1, 4};
        QTest::newRow("marked before confirmation")
            << QList<int>{} << QList<int>{1} << false << QList<int>{2, 5}
            << QList<int>{99, Colours.marked, 99, 99, Colours.marked} << QList<int>{2, 5};
    }
    void colouring() {
        QFETCH(QList<int>, switchesOn);
        QFETCH(QList<int>, colours);
        QFETCH(QList<int>, switchesAfter);
        std::array<AnswerRowState, AnswerRows> rows;
        for (int n = 1; n <= AnswerRows; ++n) {
            rows[size_t(n - 1)].color = 99;
            rows[size_t(n - 1)].switchOn = switchesOn.contains(n);
        }
        QFETCH(QList<int>, chosen);
        QFETCH(QList<int>, right);
        QFETCH(bool, analysis);
        colourRows(rows, flags(chosen), flags(right), analysis, Colours);
        for (int n = 1; n <= AnswerRows; ++n) {
            QCOMPARE(rows[size_t(n - 1)].color, colours.at(n - 1));
            QCOMPARE(rows[size_t(n - 1)].switchOn, switchesAfter.contains(n));
        }
    }

    void confirmedColours() {
        QCOMPARE(confirmedColour(true, true, 9, Colours), Colours.chosen);
        QCOMPARE(confirmedColour(true, false, 9, Colours), Colours.wrong);
        QCOMPARE(confirmedColour(false, true, 9, Colours), Colours.right);
        QCOMPARE(confirmedColour(false, false, 9, Colours), 9);
    }
};

QTEST_APPLESS_MAIN(EngineRulesTest)
#include "tst_engine_rules.moc"
