#pragma once

#include "basestore/base_archive.h"
#include "basestore/base_catalogue.h"
#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"
#include "platform/play_effect.h"
#include "platform/sound_output.h"
#include "settings/live_settings.h"
#include "tests/support/test_base_builder.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace korvel {

// A run engine on a base written by the test, with every seam recorded:
// boxes, sounds, pages and dialogs. Draws come from a seeded generator the
// test may replace; the time of day is pinned.
class EngineFixture {
public:
    explicit EngineFixture(const TestBaseBuilder& base, quint32 seed = 1)
        : generator(seed) {
        QDir(folder.path()).mkpath(QStringLiteral("Base"));
        QDir(folder.path()).mkpath(QStringLiteral("Help"));
        basePath = folder.filePath(QStringLiteral("Base/test.zip"));
        base.write(basePath);
        settings.applyDefaultColors();
        random = [this](int low, int high) { return int(generator.bounded(low, high + 1)); };
        RunEnvironment environment;
        environment.archiver = &archiver;
        environment.boxes = &boxes;
        environment.effects = &effects;
        environment.settings = &settings;
        environment.window = &window;
        environment.programFolder = folder.path() + QLatin1Char('/');
        environment.random = [this](int low, int high) { return random(low, high); };
        environment.timeOfDay = [this] { return now; };
        environment.utcNow = [this] { return utc; };
        engine = std::make_unique<RunEngine>(environment);
        const OpenedBase opened = openBase(archiver, basePath);
        settings.setTicketCount(opened.counts.tickets);
        engine->openBase(opened.path, opened.descriptor, opened.counts.tickets,
                         opened.counts.questionsPerTicket);
    }

    // A preparation run on the given tickets through the ticket-choice dialog.
    void startPreparation(const QList<int>& tickets) {
        window.onTicketChoice = [this, tickets] {
            for (int t : tickets)
                engine->setTicketChecked(t - 1, true);
            engine->TicketsChooseClick();
        };
        engine->Frame31spSkinButton1Click();
    }
    // An exam through the exam-information dialog.
    void startExam(const QString& name = QStringLiteral("Иванов")) {
        window.onExamInfo = [this, name] {
            engine->setExamineeName(name);
            engine->ExamOkClick();
        };
        engine->spSkinButton12Click();
    }

    const RunState& state() const { return engine->state(); }
    const QuestionPageState& page() const { return engine->page(); }
    const AnswerRowState& row(int n) const { return page().rows[size_t(n - 1)]; }
    int cur() const { return state().CurrentQuestion; }

    // The number of the row whose answer is right / wrong for a
    // single-answer question.
    int rightRow() const { return state().AnswerMode; }
    int wrongRow() const {
        for (int n = 1; n <= AnswerRows; ++n) {
            if (row(n).memoVisible && n != state().AnswerMode)
                return n;
        }
        return 0;
    }

    QTemporaryDir folder;
    QString basePath;
    Archiver archiver;
    ScriptedMessageBoxes boxes;
    RecordingSoundOutput sound;
    LiveSettings settings;
    SoundEffects effects{sound, [this] { return settings.soundOn(); }};
    HeadlessRunWindow window;
    QRandomGenerator generator;
    std::function<int(int, int)> random;
    QTime now{9, 5};
    QDateTime utc{QDate(2026, 3, 2), QTime(6, 5), Qt::UTC};
    std::unique_ptr<RunEngine> engine;
};

} // namespace korvel
