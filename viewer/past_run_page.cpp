#include "viewer/past_run_page.h"

#include "app/report_dialogs.h"
#include "app/report_printing.h"
#include "basestore/question_record.h"
#include "engine/report_file_saving.h"
#include "journal/journal_values.h"
#include "journal/past_report.h"
#include "platform/message_boxes.h"
#include "richtext/base_text.h"
#include "richtext/rtf_reader.h"
#include "settings/color_ref.h"
#include "settings/live_settings.h"
#include "viewer/base_lookup.h"
#include "viewer/runs_model.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace korvel {

namespace {

enum AnswerColumn { Seq, Ticket, Question, Chosen, Right, Verdict, Time, AnswerColumns };

QString numbers(const QList<int>& answers) {
    QStringList parts;
    for (int k : answers)
        parts << QString::number(k);
    return parts.isEmpty() ? QStringLiteral("—") : parts.join(QStringLiteral(", "));
}

QString secondsText(qint64 ms) {
    return QStringLiteral("%1 с").arg(
        QLocale(QLocale::Russian).toString(double(ms) / 1000, 'f', 1));
}

QString localTime(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"))
                          : QStringLiteral("—");
}

QString cssColour(int colorRef) {
    const ColorRgb rgb = colorRefToRgb(colorRef);
    return QColor(rgb.red, rgb.green, rgb.blue).name();
}

int storedColour(const QSettings* settings, const char* name, int fallback) {
    bool ok = false;
    const int value = settings ? settings->value(QLatin1String(name)).toInt(&ok) : 0;
    return ok ? value : fallback;
}

QPushButton* button(const QString& text, const char* name, const QString& accessible) {
    auto* b = new QPushButton(text);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessible);
    return b;
}

} // namespace

PastRunPage::PastRunPage(const ViewerEnvironment& environment, BaseLookup& bases, QWidget* parent)
    : QWidget(parent)
    , environment_(environment)
    , bases_(bases)
    , stack_(new QStackedWidget) {
    setObjectName(QStringLiteral("PastRunPage"));
    // The answer colours of the program's settings, as its analysis shows them.
    colours_.right =
        storedColour(environment.settings, "TrueColor", LiveSettings::DefaultTrueColor);
    colours_.wrong =
        storedColour(environment.settings, "WrongColor", LiveSettings::DefaultWrongColor);
    colours_.chosen =
        storedColour(environment.settings, "ChoisColor", LiveSettings::DefaultChoisColor);
    colours_.marked =
        storedColour(environment.settings, "LabelColor", LiveSettings::DefaultLabelColor);
    colours_.current =
        storedColour(environment.settings, "DefultColore", LiveSettings::DefaultDefultColore);

    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("RunSummary"));
    summary_->setAccessibleName(QStringLiteral("Сведения о прохождении"));
    summary_->setTextFormat(Qt::RichText);
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    answers_ = new QTableWidget(0, AnswerColumns);
    answers_->setObjectName(QStringLiteral("AnswersTable"));
    answers_->setAccessibleName(QStringLiteral("Ответы прохождения"));
    answers_->setHorizontalHeaderLabels({QStringLiteral("№"), QStringLiteral("Билет"),
                                         QStringLiteral("Вопрос"), QStringLiteral("Выбрано"),
                                         QStringLiteral("Правильно"), QStringLiteral("Итог"),
                                         QStringLiteral("Время на вопрос")});
    answers_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    answers_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab goes on to the next control, not the next cell.
    answers_->setTabKeyNavigation(false);
    answers_->setSelectionMode(QAbstractItemView::SingleSelection);
    answers_->verticalHeader()->hide();
    answers_->verticalHeader()->setDefaultSectionSize(answers_->fontMetrics().height() + 6);
    answers_->horizontalHeader()->setStretchLastSection(true);

    question_ = new QTextBrowser;
    question_->setObjectName(QStringLiteral("QuestionView"));
    question_->setAccessibleName(QStringLiteral("Вопрос и ответы"));

    auto* back = button(QStringLiteral("К &списку"), "BackToRuns",
                        QStringLiteral("Вернуться к списку прохождений"));
    showReport_ = button(QStringLiteral("О&тчет"), "ShowReport", QStringLiteral("Показать отчет"));
    auto* top = new QHBoxLayout;
    top->addWidget(back);
    top->addStretch();
    top->addWidget(showReport_);

    auto* runView = new QWidget;
    auto* runLayout = new QVBoxLayout(runView);
    runLayout->setContentsMargins(0, 0, 0, 0);
    runLayout->addLayout(top);
    runLayout->addWidget(summary_);
    auto* split = new QHBoxLayout;
    split->addWidget(answers_, 3);
    split->addWidget(question_, 2);
    runLayout->addLayout(split, 1);

    reportView_ = new QTextBrowser;
    reportView_->setObjectName(QStringLiteral("ReportView"));
    reportView_->setAccessibleName(QStringLiteral("Отчет"));
    reportView_->setDocument(&report_);
    auto* backToRun =
        button(QStringLiteral("&Назад"), "BackToRun", QStringLiteral("Вернуться к прохождению"));
    auto* save = button(QStringLiteral("&Сохранить в RTF..."), "SaveReport",
                        QStringLiteral("Сохранить в RTF формате"));
    auto* print = button(QStringLiteral("&Печать..."), "PrintReport",
                         QStringLiteral("Распечатать на принтере"));
    auto* reportButtons = new QHBoxLayout;
    reportButtons->addWidget(backToRun);
    reportButtons->addStretch();
    reportButtons->addWidget(save);
    reportButtons->addWidget(print);
    auto* reportPage = new QWidget;
    auto* reportLayout = new QVBoxLayout(reportPage);
    reportLayout->setContentsMargins(0, 0, 0, 0);
    reportLayout->addLayout(reportButtons);
    reportLayout->addWidget(reportView_, 1);

    stack_->addWidget(runView);
    stack_->addWidget(reportPage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stack_);

    connect(back, &QPushButton::clicked, this, &PastRunPage::backToRuns);
    connect(showReport_, &QPushButton::clicked, this, &PastRunPage::ShowReportClick);
    connect(backToRun, &QPushButton::clicked, this, [this] {
        stack_->setCurrentIndex(0);
        answers_->setFocus();
    });
    connect(save, &QPushButton::clicked, this, &PastRunPage::SaveReportClick);
    connect(print, &QPushButton::clicked, this, &PastRunPage::PrintReportClick);
    connect(answers_, &QTableWidget::currentCellChanged, this,
            [this](int row) { showAnswer(row); });
    clear();
}

void PastRunPage::clear() {
    run_.reset();
    basePath_.clear();
    report_.clear();
    summary_->setText(QStringLiteral("Прохождение не выбрано."));
    answers_->setRowCount(0);
    question_->clear();
    showReport_->setEnabled(false);
    stack_->setCurrentIndex(0);
}

void PastRunPage::showRun(const StoredRun& run) {
    clear();
    run_ = run;
    const RunStartRecord& start = run.start;
    basePath_ = bases_.find(start.baseFile, start.baseSha256);

    QStringList lines;
    const auto line = [&lines](const QString& name, const QString& value) {
        lines << QStringLiteral("<b>%1:</b> %2").arg(name, value.toHtmlEscaped());
    };
    line(QStringLiteral("Экзаменуемый"),
         start.examinee.isEmpty() ? QStringLiteral("—") : start.examinee);
    line(QStringLiteral("База"), QStringLiteral("%1 (%2)").arg(start.baseName, start.baseFile));
    line(QStringLiteral("Вид"), kindText(kindWord(start.kind)));
    line(QStringLiteral("Станция"), QStringLiteral("%1, %2").arg(run.station, run.osUser));
    line(QStringLiteral("Начало"), localTime(start.startedAt));
    line(QStringLiteral("Окончание"), run.end ? localTime(run.end->endedAt) : QString());
    line(QStringLiteral("Завершение"),
         endingText(run.end ? endingWord(run.end->endedBy) : QString()));
    if (run.end) {
        line(QStringLiteral("Итог"),
             QStringLiteral("верно %1, неверно %2, без ответа %3 из %4, %5 %")
                 .arg(run.end->rightCount)
                 .arg(run.end->wrongCount)
                 .arg(run.end->unanswered)
                 .arg(run.end->total)
                 .arg(run.end->percent));
        line(QStringLiteral("Результат"), run.end->resultText);
    }
    if (!run.interruptions.isEmpty())
        line(QStringLiteral("Прерывания"),
             QStringLiteral("%1, всего %2 с").arg(run.interruptions.size()).arg([&] {
                 qint64 seconds = 0;
                 for (const StoredInterruption& gap : run.interruptions)
                     seconds += gap.seconds;
                 return seconds;
             }()));
    if (basePath_.isEmpty())
        lines << QStringLiteral("<span style=\"color:#b00000\">Файла базы с записанной контрольной "
                                "суммой нет в папке Base: тексты вопросов и отчет недоступны."
                                "</span>");
    summary_->setText(lines.join(QStringLiteral("<br>")));
    // A report is of an ended run, as the results page gave it.
    showReport_->setEnabled(run.end && !basePath_.isEmpty() && !start.tickets.isEmpty());
    fillAnswers();
}

void PastRunPage::fillAnswers() {
    const StoredRun& run = *run_;
    QList<QPair<int, int>> answered;
    answers_->setRowCount(0);
    const auto addRow = [this](const QStringList& cells, const QVariant& key) {
        const int row = answers_->rowCount();
        answers_->insertRow(row);
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells.at(c));
            if (c != Verdict)
                item->setTextAlignment(Qt::AlignCenter);
            item->setData(Qt::UserRole, key);
            answers_->setItem(row, c, item);
        }
        return row;
    };
    for (const StoredAnswer& answer : run.answers) {
        const int row =
            addRow({QString::number(answer.seq), QString::number(answer.ticket),
                    QString::number(answer.question), numbers(answer.chosen), numbers(answer.right),
                    answer.correct ? QStringLiteral("верно") : QStringLiteral("неверно"),
                    secondsText(answer.msOnQuestion)},
                   answer.seq);
        answers_->item(row, Verdict)
            ->setForeground(answer.correct ? QColor(0, 128, 0) : QColor(255, 0, 0));
        answered.append({answer.ticket, answer.question});
    }
    // Questions shown but left without an answer come after the answered ones.
    for (const StoredPresentation& shown : run.presented) {
        if (answered.contains(QPair<int, int>(shown.ticket, shown.question)))
            continue;
        addRow({QStringLiteral("—"), QString::number(shown.ticket), QString::number(shown.question),
                numbers({}), numbers(shown.right), QStringLiteral("без ответа"), QString()},
               -(shown.ticket * 1000 + shown.question));
    }
    answers_->resizeColumnsToContents();
    if (answers_->rowCount() > 0)
        answers_->setCurrentCell(0, 0);
}

void PastRunPage::showAnswer(int row) {
    if (!run_ || row < 0 || row >= answers_->rowCount()) {
        question_->clear();
        return;
    }
    const int ticket = answers_->item(row, Ticket)->text().toInt();
    const int question = answers_->item(row, Question)->text().toInt();
    const int seq = answers_->item(row, Seq)->data(Qt::UserRole).toInt();
    QList<int> chosen, right;
    for (const StoredAnswer& answer : run_->answers)
        if (answer.seq == seq) {
            chosen = answer.chosen;
            right = answer.right;
        }
    if (seq < 0)
        for (const StoredPresentation& shown : run_->presented)
            if (shown.ticket == ticket && shown.question == question)
                right = shown.right;
    question_->setHtml(questionHtml(ticket, question, chosen, right));
}

QString PastRunPage::questionHtml(int ticket, int question, const QList<int>& chosen,
                                  const QList<int>& right) {
    QString html = QStringLiteral("<p><b>Билет %1, вопрос %2</b></p>").arg(ticket).arg(question);
    QuestionRecord record;
    bool haveRecord = false;
    if (!basePath_.isEmpty()) {
        try {
            const ByteStream text =
                readArchiveEntry(archiver_, basePath_, questionTextEntry(ticket, question));
            const std::unique_ptr<QTextDocument> document = loadQuestionText(text.bytes());
            html += QStringLiteral("<div>%1</div>").arg(document->toHtml());
            ByteStream stream = ReadQuestionRecord(archiver_, basePath_, ticket, question);
            record = readQuestionKeys(stream);
            haveRecord = true;
        } catch (const std::exception& failure) {
            html += QStringLiteral("<p style=\"color:#b00000\">Вопрос не прочитан из базы: %1</p>")
                        .arg(QString::fromLocal8Bit(failure.what()).toHtmlEscaped());
        }
    }
    // Every answer as the program's analysis colours it: right, wrongly
    // chosen, rightly chosen; the others in the colour of a plain box.
    html += QStringLiteral("<table width=\"100%\" cellspacing=\"2\" cellpadding=\"4\">");
    for (int k = 1; k <= AnswerCount; ++k) {
        const bool isChosen = chosen.contains(k);
        const bool isRight = right.contains(k);
        const QString text = haveRecord ? fromBaseText(record.answers[size_t(k - 1)]) : QString();
        // Answers the question does not have, or that nothing is known of
        // without the base, are left out.
        if ((!haveRecord || text.isEmpty()) && !isChosen && !isRight)
            continue;
        const int colour = confirmedColour(isChosen, isRight, 16777215, colours_);
        QString marks;
        if (isChosen)
            marks += QStringLiteral(" выбран");
        if (isRight)
            marks += QStringLiteral(" правильный");
        html +=
            QStringLiteral("<tr><td bgcolor=\"%1\"><b>%2.</b> %3<i>%4</i></td></tr>")
                .arg(cssColour(colour))
                .arg(k)
                .arg(text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")),
                     marks.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(marks.trimmed()));
    }
    return html + QStringLiteral("</table>");
}

void PastRunPage::ShowReportClick() {
    if (!run_ || !run_->end || basePath_.isEmpty())
        return;
    const ReportInput input = pastReportInput(*run_, basePath_, archiver_);
    int recordFailures = 0;
    ReportHooks hooks;
    hooks.fileIoError = [&recordFailures] { ++recordFailures; };
    try {
        composeReport(report_, input, hooks);
    } catch (const ArchiveError& error) {
        environment_.boxes->error(
            QStringLiteral("Отчет составлен не полностью: не удалось прочитать текст вопроса.\n%1")
                .arg(QString::fromLocal8Bit(error.what())));
    }
    if (recordFailures > 0)
        environment_.boxes->error(QStringLiteral("File IO error"));
    stack_->setCurrentIndex(1);
    reportView_->moveCursor(QTextCursor::Start);
    reportView_->setFocus();
}

void PastRunPage::SaveReportClick() {
    saveReportAs(
        report_, environment_.programFolder,
        [this](const SaveDialogRequest& request) {
            return environment_.saveFileName ? environment_.saveFileName(request)
                                             : askFileNameInDialog(this, request);
        },
        *environment_.boxes);
}

void PastRunPage::PrintReportClick() {
    QPrinter printer;
    printer.setDocName(QStringLiteral("OtcetPrint"));
    if (environment_.choosePrinter ? !environment_.choosePrinter(printer)
                                   : !choosePrinterInDialog(this, printer))
        return;
    const QString error = printReport(report_, printer);
    if (!error.isEmpty())
        environment_.boxes->error(error);
}

} // namespace korvel
