#include "engine/presentation.h"

#include "basestore/base_archive.h"
#include "basestore/descriptor.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"
#include "engine/base_content.h"
#include "engine/busy_scope.h"
#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"
#include "richtext/base_text.h"
#include "richtext/rtf_reader.h"
#include "settings/live_settings.h"

#include <QFileInfo>
#include <QTextCursor>

namespace korvel {

namespace {
QString questionPlace(int ticket, int question) {
    return QStringLiteral("билет %1, вопрос %2").arg(ticket).arg(question);
}
} // namespace

void RunEngine::ShowZamtor() {
    // A timer that fires while a question loads may step on to another one:
    // the question then loads again for the cursor as it is now.
    if (presenting_) {
        presentAgain_ = true;
        return;
    }
    presenting_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{presenting_};
    do {
        presentAgain_ = false;
        presentOnce();
    } while (presentAgain_);
    showPendingMessages();
}

void RunEngine::presentOnce() {
    if (!QFileInfo::exists(state_.CurrentBasePath)) {
        env_.boxes->plain(QStringLiteral("Нет файла с вопросами!!!"));
        return;
    }
    {
        BusyScope busy(*this);
        step(1);
        letMessagesBeProcessed();
        const int t = state_.CurrentTicket;
        const int q = state_.CurrentQuestion;

        for (AnswerRowState& row : page_.rows)
            row.switchOn = false;
        loadText(t, q);
        step(4);
        step(5);
        loadPicture(t, q);
        step(10);
        readRecordIntoRows(t, q);
        shuffleRows();
        page_.buttonVopros = state_.CurrentQuestion;
        recordPresentation();
    }
    env_.window->layoutWindow();
    letMessagesBeProcessed();
}

void RunEngine::loadText(int t, int q) {
    questionDocument_.clear();
    ++page_.textGeneration;
    ByteStream text;
    try {
        text = readArchiveEntry(*env_.archiver, state_.CurrentBasePath, questionTextEntry(t, q));
    } catch (const ArchiveError& error) {
        pendingMessages_.append(
            {false, QStringLiteral("Не удалось прочитать текст вопроса (%1):\n%2")
                        .arg(questionPlace(t, q), QString::fromLocal8Bit(error.what()))});
        return;
    }
    QTextCursor cursor(&questionDocument_);
    loadQuestionText(cursor, text.bytes());
}

void RunEngine::loadPicture(int t, int q) {
    page_.picture = QImage();
    try {
        const ByteStream picture =
            readArchiveEntry(*env_.archiver, state_.CurrentBasePath, questionPictureEntry(t, q));
        page_.picture = decodePicture(picture.bytes(), env_.window->pictureArea());
    } catch (const ArchiveError&) {
        // A question without a picture is the usual case.
    }
    page_.pictureVisible = !page_.picture.isNull();
}

void RunEngine::readRecordIntoRows(int t, int q) {
    QuestionRecord record;
    bool recordRead = false;
    try {
        ByteStream stream = ReadQuestionRecord(*env_.archiver, state_.CurrentBasePath, t, q);
        step(10);
        record = readQuestionKeys(stream);
        recordRead = true;
    } catch (const ArchiveError&) {
        pendingMessages_.append({true, QStringLiteral("File IO error")});
    } catch (const RecordConversionError& error) {
        pendingMessages_.append(
            {false, QStringLiteral("Запись вопроса повреждена (%1):\n%2")
                        .arg(questionPlace(t, q), QString::fromLocal8Bit(error.what()))});
    } catch (const AnswerModeError& error) {
        pendingMessages_.append(
            {false, QStringLiteral("В записи вопроса неверный номер правильного ответа (%1):\n%2")
                        .arg(questionPlace(t, q), QString::fromLocal8Bit(error.what()))});
    }
    state_.AnswerMode = record.answerMode;
    step(10);
    state_.LiteratureIndex = fromBaseText(record.literatureIndex);
    state_.LiteraturePunkt = fromBaseText(record.literaturePunkt);

    // The information button shows only for a page that is there.
    literatureIndexBytes_ = recordRead ? record.literatureIndex : QByteArray();
    const QString pagePath = recordRead ? literaturePagePath() : QString();
    if (!pagePath.isEmpty()) {
        if (state_.RunMode == QLatin1String("Ekz") && env_.settings->ekzInfo())
            page_.infoButtonVisible = true;
        else if (state_.RunMode == QLatin1String("Test") && env_.settings->pEkzInfo())
            page_.infoButtonVisible = true;
    } else {
        page_.infoButtonVisible = false;
    }
    step(10);

    if (state_.AnswerMode >= 1 && state_.AnswerMode <= 5)
        state_.RightAnswers.setFlag(t, q, state_.AnswerMode, true);
    step(10);

    for (int n = 1; n <= AnswerRows; ++n) {
        AnswerRowState& row = page_.rows[size_t(n - 1)];
        const QString text = fromBaseText(record.answers[size_t(n - 1)]);
        step(10);
        row.color = White;
        row.switchOn = false;
        row.switchPanelFlat = false;
        if (text.isEmpty()) {
            row.text.clear();
            row.toolTip.clear();
            row.memoVisible = false;
            row.switchPanelVisible = false;
            row.buttonVisible = false;
            row.labelVisible = false;
        } else {
            row.memoVisible = true;
            row.buttonVisible = true;
            row.text = text;
            row.toolTip = env_.window->answerLineCount(n, text) >= 3 ? text : QString();
            row.labelVisible = true;
            if (state_.AnswerMode >= 1) {
                row.switchPanelVisible = false;
            } else {
                row.switchPanelVisible = true;
                row.buttonVisible = false;
                state_.RightAnswers.setFlag(t, q, n, record.right[size_t(n - 1)]);
            }
        }
        step(5);
    }
}

void RunEngine::shuffleRows() {
    const bool preparationShuffle = env_.settings->tusPod() && state_.spSkinButton12ShowHint;
    const bool examShuffle = env_.settings->tusEkz() && state_.spSkinButton10ShowHint;
    if (state_.AnalysisFlag || !(preparationShuffle || examShuffle))
        return;
    for (int k = 0; k < AnswerRows; ++k)
        step(2);
    const std::array<int, AnswerRows> tops = shuffledTops(page_.rows, env_.random);
    for (int n = 1; n <= AnswerRows; ++n)
        page_.rows[size_t(n - 1)].top = tops[size_t(n - 1)];
}

void RunEngine::MemePosBack() {
    for (int n = 1; n <= AnswerRows; ++n)
        page_.rows[size_t(n - 1)].top = rowHomeTop(n);
    emitChanged();
}

} // namespace korvel
