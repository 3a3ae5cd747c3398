// What the engine tells the results journal, checked against a recording
// double: each kind of run from its start to its end, and an exam resumed
// from what the journal kept.
#include "engine/grading.h"
#include "engine/run_recorder.h"
#include "engine/run_resume.h"
#include "engine_fixture.h"

#include <QCryptographicHash>
#include <QFile>
#include <QStringEncoder>
#include <QUuid>

using namespace korvel;

namespace {

QString kindName(RecordedRunKind kind) {
    switch (kind) {
    case RecordedRunKind::Preparation:
        return QStringLiteral("preparation");
    case RecordedRunKind::Exam:
        return QStringLiteral("exam");
    case RecordedRunKind::WorkOnErrors:
        return QStringLiteral("work_on_errors");
    }
    return {};
}

QString endingName(RunEnding ending) {
    switch (ending) {
    case RunEnding::LastAnswer:
        return QStringLiteral("last_answer");
    case RunEnding::TimeLimit:
        return QStringLiteral("time_limit");
    case RunEnding::MainMenu:
        return QStringLiteral("main_menu");
    case RunEnding::Interrupted:
        return QStringLiteral("interrupted");
    }
    return {};
}

// Every call as a line; the exam clock's calls apart, as they come each second.
class RecordingRecorder final : public RunRecorder {
public:
    QStringList calls;
    QList<int> clock;
    QList<RunStartRecord> starts;
    QList<AnswerRecord> answers;
    QList<RunEndRecord> ends;
    QString runId; // of the run the calls are about

    void runStarted(const RunStartRecord& run) override {
        calls << "start " + kindName(run.kind);
        starts << run;
        runId = run.runId;
    }
    void questionPresented(const PresentationRecord& p) override {
        QVERIFY(p.runId == runId);
        calls << QStringLiteral("show %1.%2").arg(p.ticket).arg(p.question);
    }
    void answerJudged(const AnswerRecord& a) override {
        QVERIFY(a.runId == runId);
        calls << QStringLiteral("answer %1: %2.%3 %4")
                     .arg(a.seq)
                     .arg(a.ticket)
                     .arg(a.question)
                     .arg(a.correct ? "right" : "wrong");
        answers << a;
    }
    void examTimeUsed(const QString& id, int elapsed, const QDateTime&) override {
        QVERIFY(id == runId);
        clock << elapsed;
    }
    void runEnded(const RunEndRecord& end) override {
        calls << QStringLiteral("end %1 %2/%3/%4 %5")
                     .arg(endingName(end.endedBy))
                     .arg(end.rightCount)
                     .arg(end.wrongCount)
                     .arg(end.unanswered)
                     .arg(end.grade ? QString::number(*end.grade) : QStringLiteral("-"));
        ends << end;
    }
};

QByteArray cp1251(const QString& text) {
    return QStringEncoder("windows-1251").encode(text);
}

// 2 tickets of 2 questions: right answer 2, except 1.2 with several (1 and 3).
TestBaseBuilder journalBase() {
    TestBaseBuilder base;
    base.setCounts(2, 2, cp1251(QStringLiteral("Электробезопасность")));
    for (int t = 1; t <= 2; ++t) {
        for (int q = 1; q <= 2; ++q) {
            base.addQuestion(t, q, "Question",
                             t == 1 && q == 2 ? multipleQuestion({1, 3}) : standardQuestion(2));
        }
    }
    return base;
}

void answer(EngineFixture& f, bool right) {
    const int t = f.state().CurrentTicket;
    if (f.state().AnswerMode == 0) {
        for (int n = 1; n <= AnswerRows; ++n) {
            if (f.state().RightAnswers.flag(t, f.cur(), n) == right && f.row(n).memoVisible)
                f.engine->setSwitch(n, true);
        }
        f.engine->ButtonTestChoisClick();
    } else {
        f.engine->TestButClick(right ? 2 : 1);
    }
}

void endLamp(EngineFixture& f) {
    f.utc = f.utc.addSecs(1);
    if (f.engine->timer(3).isActive())
        f.engine->Timer3Timer();
    else
        f.engine->Timer2Timer();
}

// Answers the questions shown in turn, right as given, until the run ends.
void sit(EngineFixture& f, const QList<bool>& rights) {
    for (bool right : rights) {
        f.utc = f.utc.addMSecs(2500);
        answer(f, right);
        endLamp(f);
    }
}

} // namespace

class RunJournalingTest : public QObject {
    Q_OBJECT

private slots:
    void runsFromStartToEnd_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("preparation")
            << "preparation" << QStringList{"start preparation",   "show 2.1",
                                            "answer 1: 2.1 right", "show 2.2",
                                            "answer 2: 2.2 wrong", "end last_answer 1/1/0 2"};
        // The step on to the next ticket presents its question twice.
        QTest::newRow("exam, both tickets drawn") << "exam"
                                                  << QStringList{"start exam",
                                                                 "show 1.1",
                                                                 "answer 1: 1.1 right",
                                                                 "show 1.2",
                                                                 "answer 2: 1.2 right",
                                                                 "show 2.1",
                                                                 "show 2.1",
                                                                 "answer 3: 2.1 wrong",
                                                                 "show 2.2",
                                                                 "answer 4: 2.2 right",
                                                                 "end last_answer 3/1/0 4"};
        QTest::newRow("exam ended by time")
            << "time"
            << QStringList{"start exam", "show 1.1", "answer 1: 1.1 right", "show 1.2",
                           "end time_limit 1/0/3 2"};
        QTest::newRow("work on errors")
            << "work" << QStringList{"start preparation",    "show 1.1",
                                     "answer 1: 1.1 wrong",  "show 1.2",
                                     "answer 2: 1.2 right",  "end last_answer 1/1/0 2",
                                     "start work_on_errors", "show 1.1",
                                     "answer 1: 1.1 right",  "end last_answer 1/0/0 5"};
        QTest::newRow("left through the main menu")
            << "menu"
            << QStringList{"start preparation", "show 1.1", "answer 1: 1.1 right", "show 1.2",
                           "end main_menu 1/0/3 -"};
        QTest::newRow("main menu in the last lamp interval")
            << "last lamp" << QStringList{"start preparation",   "show 2.1",
                                          "answer 1: 2.1 right", "show 2.2",
                                          "answer 2: 2.2 right", "end last_answer 2/0/0 5"};
        QTest::newRow("window closed")
            << "close" << QStringList{"start preparation", "show 2.1", "end main_menu 0/0/2 -"};
    }
    void runsFromStartToEnd() {
        QFETCH(QString, kind);
        QFETCH(QStringList, calls);
        EngineFixture f(journalBase());
        RecordingRecorder recorder;
        f.engine->setRecorder(&recorder);
        f.settings.setTimeEkzSek(1);
        const QDateTime started = f.utc;
        if (kind == "preparation") {
            f.startPreparation({2});
            sit(f, {true, false});
        } else if (kind == "exam") {
            f.startExam(QStringLiteral("Петров П. П."));
            f.engine->Timer1Timer();
            f.engine->Timer1Timer();
            sit(f, {true, true, false, true});
            QCOMPARE(recorder.clock, (QList<int>{1, 2}));
            QCOMPARE(recorder.answers.first().elapsedSeconds, 2);
        } else if (kind == "time") {
            f.startExam();
            sit(f, {true});
            for (int k = 0; k < 60; ++k)
                f.engine->Timer1Timer();
            QList<int> ticks;
            for (int k = 1; k <= 60; ++k)
                ticks << k;
            QCOMPARE(recorder.clock, ticks);
        } else if (kind == "work") {
            f.startPreparation({1});
            sit(f, {false, true});
            f.engine->WorkErrorClick();
            sit(f, {true});
        } else if (kind == "menu") {
            f.startPreparation({1, 2});
            sit(f, {true});
            f.boxes.setNextAnswer(MessageButton::Yes);
            f.engine->spSkinButton8Click();
        } else if (kind == "last lamp") {
            f.startPreparation({2});
            sit(f, {true});
            f.utc = f.utc.addSecs(3);
            answer(f, true);
            f.boxes.setNextAnswer(MessageButton::Yes);
            f.engine->spSkinButton8Click();
            QCOMPARE(recorder.ends.size(), 0);
            endLamp(f);
        } else if (kind == "close") {
            f.startPreparation({2});
            f.engine->windowClosing();
            f.engine->windowClosing();
        }
        // Analysis, the report and leaving the results page record nothing.
        f.engine->Frame61spSkinButton1Click();
        f.engine->NextButtonClick();
        f.engine->ShowOtchetClick();
        f.boxes.setNextAnswer(MessageButton::Yes);
        f.engine->spSkinButton8Click();
        QCOMPARE(recorder.calls.join(" | "), calls.join(" | "));

        const RunStartRecord& run = recorder.starts.first();
        QVERIFY(!QUuid::fromString(run.runId).isNull());
        QVERIFY(!run.runId.contains('{'));
        QCOMPARE(run.baseFile, QStringLiteral("test.zip"));
        QCOMPARE(run.baseName, QStringLiteral("Электробезопасность"));
        QFile archive(f.basePath);
        QVERIFY(archive.open(QIODevice::ReadOnly));
        QCOMPARE(
            run.baseSha256,
            QString::fromLatin1(
                QCryptographicHash::hash(archive.readAll(), QCryptographicHash::Sha256).toHex()));
        QCOMPARE(run.questionsPerTicket, 2);
        QCOMPARE(run.startedAt, started);
        const bool exam = run.kind == RecordedRunKind::Exam;
        QCOMPARE(run.examinee, kind == "exam" ? QStringLiteral("Петров П. П.")
                               : exam         ? QStringLiteral("Иванов")
                                              : QString());
        QCOMPARE(run.timeLimitSeconds, exam ? std::optional<int>(60) : std::nullopt);
        for (const AnswerRecord& a : recorder.answers) {
            QCOMPARE(a.msOnQuestion, a.shownAt.msecsTo(a.answeredAt));
            QVERIFY(a.msOnQuestion >= 2500);
        }
        if (kind == "work") {
            const RunStartRecord& work = recorder.starts.at(1);
            QCOMPARE(work.parentRunId, run.runId);
            QVERIFY(work.runId != run.runId);
            QCOMPARE(work.tickets, QList<int>{1});
            QCOMPARE(recorder.ends.at(1).total, 1);
            QCOMPARE(recorder.answers.last().chosen, QList<int>{2});
        }
        if (kind == "exam") {
            QCOMPARE(run.tickets, (QList<int>{1, 2}));
            const AnswerRecord& multiple = recorder.answers.at(1);
            QCOMPARE(multiple.chosen, (QList<int>{1, 3}));
            QCOMPARE(multiple.right, (QList<int>{1, 3}));
            QCOMPARE(recorder.answers.at(2).chosen, QList<int>{1});
            QCOMPARE(recorder.answers.at(2).right, QList<int>{2});
        }
        // The result line as the results page shows it.
        const RunEndRecord& end = recorder.ends.last();
        if (end.grade)
            QCOMPARE(end.resultText, f.engine->results().analizStr);
        else
            QVERIFY(end.resultText.isEmpty());
        QCOMPARE(end.total, end.rightCount + end.wrongCount + end.unanswered);
    }

    // The same runs sat with and without a journal show the same pages, boxes,
    // sounds and counters at every step.
    void recordingChangesNothingShown() {
        const auto sitRuns = [](bool journal) {
            EngineFixture f(journalBase(), 7);
            f.settings.setTusPod(true); // the shuffle draws from the same source
            f.settings.setTusEkz(true);
            RecordingRecorder recorder;
            if (journal)
                f.engine->setRecorder(&recorder);
            QStringList seen;
            const auto look = [&f, &seen] {
                QString rows;
                for (int n = 1; n <= AnswerRows; ++n)
                    rows += QStringLiteral("%1@%2 ").arg(f.row(n).color).arg(f.row(n).top);
                seen << QStringLiteral("%1.%2 %3/%4/%5 %6 %7:%8 %9")
                            .arg(f.state().CurrentTicket)
                            .arg(f.cur())
                            .arg(f.page().greenLabel)
                            .arg(f.page().redLabel)
                            .arg(f.page().buttonRemain)
                            .arg(rows, f.page().minText, f.page().secText,
                                 f.engine->results().analizStr);
            };
            f.startPreparation({1, 2});
            for (bool right : {true, false, true}) {
                answer(f, right);
                look();
                endLamp(f);
                look();
            }
            f.boxes.setNextAnswer(MessageButton::Yes);
            f.engine->spSkinButton8Click();
            f.startExam();
            for (int k = 0; k < 4; ++k) {
                f.engine->Timer1Timer();
                answer(f, k != 2);
                look();
                endLamp(f);
                look();
            }
            f.engine->WorkErrorClick();
            answer(f, true);
            endLamp(f);
            look();
            QStringList boxes;
            for (const auto& shown : f.boxes.shown())
                boxes << shown.text;
            return QStringList{seen.join('\n'), f.window.events.join(','), f.sound.events.join(','),
                               boxes.join(',')};
        };
        const QStringList without = sitRuns(false);
        const QStringList with = sitRuns(true);
        for (int k = 0; k < without.size(); ++k)
            QCOMPARE(with.at(k), without.at(k));
    }

    // Half an exam, then a new engine goes on with what the journal kept.
    void resumedExamGoesOnAsTheSameRun() {
        EngineFixture first(journalBase());
        RecordingRecorder kept;
        first.engine->setRecorder(&kept);
        first.settings.setTimeEkzSek(2);
        first.startExam(QStringLiteral("Петров"));
        for (int k = 0; k < 30; ++k)
            first.engine->Timer1Timer();
        sit(first, {false, true});

        ResumedExam exam;
        exam.runId = kept.starts.first().runId;
        exam.examinee = kept.starts.first().examinee;
        exam.tickets = kept.starts.first().tickets;
        exam.timeLimitSeconds = kept.starts.first().timeLimitSeconds;
        exam.timeUsedSeconds = kept.clock.last();
        exam.lastSeq = kept.answers.last().seq;
        for (const AnswerRecord& a : kept.answers)
            exam.answers.append({a.ticket, a.question, a.chosen, a.right, a.correct});

        EngineFixture f(journalBase());
        RecordingRecorder recorder;
        recorder.runId = exam.runId;
        f.engine->setRecorder(&recorder);
        f.settings.setTimeEkzSek(5); // changed since: the exam keeps its own limit
        QVERIFY(f.engine->resumeExam(exam));
        QCOMPARE(f.window.page, RunPage::Question);
        QCOMPARE(f.state().RunMode, QStringLiteral("Ekz"));
        QCOMPARE(f.state().ChosenTickets, (QList<bool>{true, true}));
        QCOMPARE(f.engine->examInfo().spSkinEdit1, QStringLiteral("Петров"));
        QCOMPARE(f.page().greenLabel, 1);
        QCOMPARE(f.page().redLabel, 1);
        QCOMPARE(f.page().buttonRemain, 2);
        QCOMPARE(f.state().CurrentTicket, 2);
        QCOMPARE(f.cur(), 1);
        QCOMPARE(f.page().buttonBilet, 2);
        QVERIFY(f.page().answerControlsEnabled);
        QVERIFY(!f.page().qButtonVisible);
        QVERIFY(f.engine->timer(1).isActive());
        QCOMPARE(f.page().timeGoValue, 30);
        QCOMPARE(f.page().timeGoMaximum, 120);
        QCOMPARE(f.page().minText + ":" + f.page().secText, QStringLiteral("01:29"));
        QCOMPARE(f.engine->runId(), exam.runId);

        f.engine->Timer1Timer();
        QCOMPARE(f.page().minText + ":" + f.page().secText, QStringLiteral("01:28"));
        sit(f, {true, true});
        QCOMPARE(recorder.starts.size(), 0);
        QCOMPARE(recorder.calls, (QStringList{"show 2.1", "answer 3: 2.1 right", "show 2.2",
                                              "answer 4: 2.2 right", "end last_answer 3/1/0 4"}));
        QCOMPARE(recorder.clock, QList<int>{31});
        QCOMPARE(recorder.ends.first().runId, exam.runId);
        QCOMPARE(recorder.ends.first().total, 4);
        QCOMPARE(f.engine->results().analizStr,
                 QStringLiteral("Поздравляем ВЫ сдали Экзамен!!! Оценка -4"));
        // Work on errors then covers the whole exam: the wrong 1.1 again.
        f.engine->WorkErrorClick();
        QCOMPARE(f.page().buttonRemain, 1);
        QCOMPARE(f.state().CurrentTicket, 1);
        QCOMPARE(f.cur(), 1);
        QCOMPARE(recorder.starts.last().parentRunId, exam.runId);
    }

    void resumeEdges_data() {
        QTest::addColumn<QString>("edge");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("ending");
        QTest::newRow("ticket not in the base") << "ticket 3"
                                                << "MainMenu"
                                                << "";
        QTest::newRow("answer of a ticket not drawn") << "undrawn"
                                                      << "MainMenu"
                                                      << "";
        QTest::newRow("answer number 6") << "answer 6"
                                         << "MainMenu"
                                         << "";
        QTest::newRow("every question answered") << "all answered"
                                                 << "Results"
                                                 << "last_answer 2/2/0 2";
        QTest::newRow("no time left") << "time used"
                                      << "Results"
                                      << "time_limit 1/0/3 2";
    }
    void resumeEdges() {
        QFETCH(QString, edge);
        QFETCH(QString, page);
        QFETCH(QString, ending);
        EngineFixture f(journalBase());
        RecordingRecorder recorder;
        f.engine->setRecorder(&recorder);
        ResumedExam exam;
        exam.runId = QStringLiteral("6f1c2a8e-0d3b-4c55-9a7e-2b1d4f6a8c90");
        recorder.runId = exam.runId;
        exam.tickets = {1, 2};
        exam.timeLimitSeconds = 60;
        exam.answers = {{1, 1, {2}, {2}, true}};
        if (edge == "ticket 3")
            exam.tickets = {1, 3};
        if (edge == "undrawn")
            exam.tickets = {2};
        if (edge == "answer 6")
            exam.answers.first().chosen = {6};
        if (edge == "all answered")
            exam.answers << ResumedAnswer{1, 2, {1}, {1, 3}, false}
                         << ResumedAnswer{2, 1, {1}, {2}, false}
                         << ResumedAnswer{2, 2, {2}, {2}, true};
        if (edge == "time used")
            exam.timeUsedSeconds = 60;
        const bool resumed = f.engine->resumeExam(exam);
        QCOMPARE(resumed, page != "MainMenu");
        QCOMPARE(runPageName(f.window.page),
                 runPageName(page == "Results" ? RunPage::Results : RunPage::MainMenu));
        if (!resumed) {
            QCOMPARE(f.engine->runId(), QString());
            QCOMPARE(f.state().ChosenTickets, QList<bool>());
        }
        QCOMPARE(recorder.calls.join(','), ending.isEmpty() ? QString() : "end " + ending);
        QVERIFY(!f.engine->timer(1).isActive());
    }

    void resumedClock_data() {
        QTest::addColumn<bool>("wallClock");
        QTest::addColumn<int>("gap");
        QTest::addColumn<int>("used");
        QTest::newRow("the exam clock: the gap does not count") << false << 300 << 100;
        QTest::newRow("the wall clock: it does") << true << 300 << 400;
        QTest::newRow("the wall clock, never past the limit") << true << 3000 << 600;
        QTest::newRow("a clock set back counts nothing") << true << -50 << 100;
    }
    void resumedClock() {
        QFETCH(bool, wallClock);
        QFETCH(int, gap);
        QFETCH(int, used);
        const QDateTime lastSeen(QDate(2026, 3, 2), QTime(6, 0), Qt::UTC);
        QCOMPARE(resumedTimeUsed(100, lastSeen, lastSeen.addSecs(gap), wallClock, 600), used);
        QCOMPARE(resumedTimeUsed(100, QDateTime(), lastSeen, wallClock, 600), 100);
    }

    void interruptedRunsAreGradedAsTheyStood() {
        const QDateTime at(QDate(2026, 3, 2), QTime(6, 0), Qt::UTC);
        const RunEndRecord exam = interruptedEnd("id", RecordedRunKind::Exam, 10, 6, 1, at);
        QCOMPARE(exam.endedBy, RunEnding::Interrupted);
        QCOMPARE(exam.unanswered, 3);
        QCOMPARE(exam.percent, 60);
        QCOMPARE(exam.grade, 3);
        QCOMPARE(exam.resultText, QStringLiteral("ВЫ не сдали Экзамен! Оценка - 3"));
        const RunEndRecord work = interruptedEnd("id", RecordedRunKind::WorkOnErrors, 3, 3, 0, at);
        QCOMPARE(work.grade, 5);
        QCOMPARE(work.resultText, QStringLiteral("Работа над ошибками прошла ХОРОШО! Оценка - 5"));
    }
};

QTEST_MAIN(RunJournalingTest)
#include "tst_run_journaling.moc"
