// TForm1's side of the results journal: opening it at the first showing,
// telling the user once when it does not record, and the exams a crash left
// unfinished, resumed or ended.
#include "app/journal_session.h"
#include "app/main_window.h"
#include "app/open_base_page.h"
#include "basestore/base_digest.h"
#include "engine/run_engine.h"
#include "engine/run_resume.h"
#include "journal/journal.h"
#include "journal/journal_location.h"
#include "journal/journal_sender.h"
#include "journal/past_report.h"
#include "platform/message_boxes.h"
#include "settings/journal_settings.h"

#include <QDir>
#include <QHash>
#include <QPair>
#include <QPushButton>
#include <QSysInfo>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <unistd.h>
#endif

namespace korvel {

namespace {

QString osUserName() {
    for (const char* name : {"USERNAME", "USER", "LOGNAME"}) {
        const QString user = qEnvironmentVariable(name);
        if (!user.isEmpty())
            return user;
    }
#ifdef Q_OS_UNIX
    // Services and containers often start programs without those set.
    if (const passwd* entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
#endif
    return QDir::home().dirName();
}

struct Counts {
    int right = 0;
    int wrong = 0;
};

// A question answered twice (never by this program, but the journal is a
// file) counts once, as its last answer.
Counts countsOf(const StoredRun& run) {
    QHash<QPair<int, int>, bool> judged;
    for (const StoredAnswer& answer : run.answers)
        judged.insert({answer.ticket, answer.question}, answer.correct);
    Counts counts;
    for (bool correct : judged)
        ++(correct ? counts.right : counts.wrong);
    return counts;
}

} // namespace

QDateTime TForm1::utcNow() const {
    return environment_.utcNow ? environment_.utcNow() : QDateTime::currentDateTimeUtc();
}

void TForm1::openJournal() {
    const JournalSettings settings =
        loadJournalSettings(*environment_.settings, *environment_.boxes);
    wallClockOnResume_ = settings.wallClockOnResume;
    if (!settings.on)
        return;
    const QString path = settings.file.isEmpty() ? defaultJournalPath() : settings.file;
    journal_ = std::make_unique<JournalSession>(
        Journal::open(path, QSysInfo::machineHostName(), osUserName()), path);
    journal_->stoppedRecording = [this] {
        QTimer::singleShot(0, this, &TForm1::tellJournalProblem);
    };
    engine_->setRecorder(journal_.get());
    // Delivery to the centre's server works on its own thread from the file;
    // the examinee never hears of it.
    if (!settings.server.isEmpty())
        sender_ = std::make_unique<JournalSender>(path, settings.server);
}

void TForm1::tellJournalProblem() {
    if (!journal_)
        return;
    // Not over a question that is loading: once the window takes input again.
    if (!isEnabled()) {
        QTimer::singleShot(100, this, &TForm1::tellJournalProblem);
        return;
    }
    const QString message = journal_->takeMessage();
    if (!message.isEmpty())
        environment_.boxes->warn(message);
}

void TForm1::offerUnfinishedRuns() {
    if (!journal_)
        return;
    QList<StoredRun> unfinished = journal_->journal().unfinishedRuns();
    unfinished.removeIf(
        [this](const StoredRun& run) { return journal_->liveElsewhere(run.start.runId); });
    for (const StoredRun& run : unfinished) {
        if (run.start.kind != RecordedRunKind::Exam)
            endInterrupted(run);
    }
    for (const StoredRun& run : unfinished) {
        if (run.start.kind != RecordedRunKind::Exam)
            continue;
        const QString examinee =
            run.start.examinee.isEmpty() ? QStringLiteral("(имя не указано)") : run.start.examinee;
        const QString question =
            QStringLiteral("Экзамен не был завершён.\nБаза: %1 (%2)\nЭкзаменуемый: %3\n"
                           "Начат: %4\n\nПродолжить экзамен?")
                .arg(
                    run.start.baseName, run.start.baseFile, examinee,
                    run.start.startedAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm")));
        const MessageButton answer = environment_.boxes->ask(
            MessageKind::Confirmation, question, {MessageButton::Yes, MessageButton::No});
        if (answer == MessageButton::Yes && resumeExam(run))
            return; // one exam at a time: the others are offered at the next start
        endInterrupted(run);
    }
}

bool TForm1::resumeExam(const StoredRun& run) {
    const QString path = programFolder_ + QStringLiteral("Base/") + run.start.baseFile;
    openBasePanel_->pressBaseButton(run.start.baseFile);
    QPushButton* pressed = openBasePanel_->pressedBaseButton();
    const bool sameBase = !run.start.baseFile.isEmpty() && pressed &&
                          pressed->property("archive").toString() == run.start.baseFile &&
                          baseArchiveSha256(path) == run.start.baseSha256;
    if (sameBase)
        SampleButtonClick();

    ResumedExam exam;
    exam.runId = run.start.runId;
    exam.examinee = run.start.examinee;
    exam.tickets = run.start.tickets;
    exam.timeLimitSeconds = run.start.timeLimitSeconds;
    exam.timeUsedSeconds = resumedTimeUsed(run.examTimeUsed, run.lastSeenAt, utcNow(),
                                           wallClockOnResume_, run.start.timeLimitSeconds);
    for (const StoredAnswer& answer : run.answers) {
        exam.answers.append(
            {answer.ticket, answer.question, answer.chosen, answer.right, answer.correct});
        exam.lastSeq = qMax(exam.lastSeq, answer.seq);
    }
    if (!sameBase || !baseUsable_ || currentArchiveName_ != run.start.baseFile ||
        run.start.questionsPerTicket != questionsPerTicket() ||
        !fitsBase(exam, ticketCount(), questionsPerTicket())) {
        environment_.boxes->error(
            QStringLiteral("Экзамен нельзя продолжить: в папке Base нет базы \"%1\" в том виде, "
                           "в каком по ней начат экзамен.\nЭкзамен отмечен в журнале как "
                           "прерванный.")
                .arg(run.start.baseFile));
        openBasePanel_->pressBaseButton(currentArchiveName_);
        return false;
    }
    spSkinButton2Click();
    journal_->journal().runResumed(run.start.runId, run.lastSeenAt, utcNow());
    journal_->resumed(run.start.runId);
    return engine_->resumeExam(exam);
}

void TForm1::endInterrupted(const StoredRun& run) {
    int total = int(run.start.tickets.size()) * run.start.questionsPerTicket -
                int(passedOverQuestions(run).size());
    if (run.start.kind == RecordedRunKind::WorkOnErrors) {
        // The questions reopened: those its parent left wrong or unanswered.
        const std::optional<StoredRun> parent = journal_->journal().run(run.start.parentRunId);
        total = parent && parent->end ? parent->end->wrongCount + parent->end->unanswered : 0;
    }
    const Counts counts = countsOf(run);
    total = qMax(total, counts.right + counts.wrong);
    const QDateTime at = run.lastSeenAt.isValid() ? run.lastSeenAt : utcNow();
    journal_->runEnded(
        interruptedEnd(run.start.runId, run.start.kind, total, counts.right, counts.wrong, at));
}

} // namespace korvel
