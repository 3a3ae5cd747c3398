#include "basestore/base_archive.h"
#include "basestore/question_record.h"
#include "engine/grading.h"
#include "report/report_composition.h"
#include "report/report_saving.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "tests/support/test_base_builder.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace korvel;

namespace {

QByteArray cp1251(const QString& text) {
    return QStringEncoder("windows-1251").encode(text);
}

// "Вопрос <b>t.q</b> текст" in Times New Roman 12 pt, justified.
QByteArray questionRtf(int t, int q) {
    return "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times New "
           "Roman;}}\\pard\\qj\\f0\\fs24 " +
           cp1251(QStringLiteral("Вопрос ")) + "\\b " + QByteArray::number(t) + "." +
           QByteArray::number(q) + "\\b0  " + cp1251(QStringLiteral("текст")) + "\\par}";
}

QString answer(int k, int t, int q) {
    return QStringLiteral("Ответ %1 (%2.%3)").arg(k).arg(t).arg(q);
}

QByteArray flags(std::initializer_list<int> answers) {
    QByteArray cell(5, '\0');
    for (int k : answers)
        cell[k - 1] = 1;
    return cell;
}

// Every line as "alignment bold colour size face | text".
QStringList lines(const QTextDocument& document) {
    QStringList result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextCharFormat f =
            block.begin().atEnd() ? block.charFormat() : block.begin().fragment().charFormat();
        const Qt::Alignment align = block.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        result << QStringLiteral("%1 %2 %3 %4 %5 | %6")
                      .arg(align == Qt::AlignHCenter   ? "C"
                           : align == Qt::AlignJustify ? "J"
                                                       : "L")
                      .arg(f.fontWeight() >= QFont::Bold ? "b" : "-")
                      .arg(f.foreground().color().name())
                      .arg(f.fontPointSize())
                      .arg(f.fontFamilies().toStringList().value(0), block.text());
    }
    return result;
}

QStringList texts(const QTextDocument& document) {
    QStringList result = document.toPlainText().split(QLatin1Char('\n'));
    result.removeAll(QString());
    return result;
}

// Three tickets of ten questions. Question 2.3 has no record, 2.5 a damaged
// one, 3.1 no text, 1.6 a two-line first answer.
class ReportTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString basePath_;
    Archiver archiver_;
    QHash<QPair<int, int>, QByteArray> chosen_, right_;
    int fileIoErrors_ = 0;
    QList<QPair<int, int>> progress_;

    ReportInput input(QList<int> tickets, int green, int red, int remain,
                      const QString& result = QStringLiteral("ВЫ не сдали Экзамен! Оценка - 2")) {
        ReportInput in;
        in.examineeName = QStringLiteral("Иванов И.И.");
        in.chosenTickets = tickets;
        in.questionsPerTicket = 10;
        in.green = green;
        in.red = red;
        in.remain = remain;
        in.analizStr = result;
        in.percent = percentage(green, green + red + remain);
        in.good = isGoodGrade(gradeFor(in.percent));
        in.chosenCell = [this](int t, int q) { return chosen_.value({t, q}, flags({})); };
        in.rightCell = [this](int t, int q) { return right_.value({t, q}, flags({})); };
        in.basePath = basePath_;
        in.archiver = &archiver_;
        return in;
    }
    ReportHooks hooks() {
        return {[this](int value, int maximum) { progress_ << qMakePair(value, maximum); },
                [this] { ++fileIoErrors_; }};
    }
    void setQuestion(int t, int q, QByteArray chosen, QByteArray right) {
        chosen_[{t, q}] = chosen;
        right_[{t, q}] = right;
    }

private slots:
    void initTestCase() {
        TestBaseBuilder base;
        base.setCounts(3, 10);
        for (int t = 1; t <= 3; ++t)
            for (int q = 1; q <= 10; ++q) {
                RecordContainerWriter record;
                record.add("vop", "yes", "1");
                if (t == 2 && q == 5)
                    record.addWithLengthField("vop", "ot1", "x", "lies about its length");
                for (int k = 1; k <= 5; ++k)
                    record.add("vop", "ot" + QByteArray::number(k),
                               cp1251(t == 1 && q == 6 && k == 1
                                          ? QStringLiteral("строка 1\r\nстрока 2")
                                          : answer(k, t, q)));
                if (t == 2 && q == 3)
                    base.addEntry(questionTextEntry(t, q), questionRtf(t, q));
                else if (t == 3 && q == 1)
                    base.addRawRecord(t, q, "no matter");
                else
                    base.addQuestion(t, q, questionRtf(t, q), record);
            }
        basePath_ = folder_.filePath(QStringLiteral("base.zip"));
        base.write(basePath_);
    }

    void init() {
        chosen_.clear();
        right_.clear();
        fileIoErrors_ = 0;
        progress_.clear();
    }

    void header_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("tickets");
        QTest::addColumn<QList<int>>("greenRedRemain");
        QTest::addColumn<QStringList>("expected"); // greeting, tickets, counters, P, 100-P, colour
        QTest::newRow("all right")
            << QStringLiteral("Петров") << QList<int>{2} << QList<int>{10, 0, 0}
            << QStringList{"Петров", "2; ", "10", "10", "00", "00", "100", "0", "#008000"};
        QTest::newRow("nine of nine")
            << QString() << QList<int>{9, 2, 5} << QList<int>{9, 0, 0}
            << QStringList{"Пользователь", "2; 5; 9; ", "9", "09",     "00",
                           "00",           "100",       "0", "#008000"};
        QTest::newRow("timed out")
            << QStringLiteral("Иванов И.И.") << QList<int>{1} << QList<int>{3, 1, 6}
            << QStringList{"Иванов И.И.", "1; ", "10", "03", "01", "06", "30", "70", "#ff0000"};
        QTest::newRow("one third")
            << QStringLiteral(" ") << QList<int>{1, 3} << QList<int>{1, 1, 1}
            << QStringList{" ", "1; 3; ", "3", "01", "01", "01", "33", "67", "#ff0000"};
        QTest::newRow("61 is a four")
            << QStringLiteral("A") << QList<int>{1} << QList<int>{61, 39, 0}
            << QStringList{"A", "1; ", "100", "61", "39", "00", "61", "39", "#008000"};
        QTest::newRow("60 is a three")
            << QStringLiteral("A") << QList<int>{1} << QList<int>{60, 30, 10}
            << QStringList{"A", "1; ", "100", "60", "30", "10", "60", "40", "#ff0000"};
        QTest::newRow("nothing counted")
            << QStringLiteral("A") << QList<int>{1} << QList<int>{0, 0, 0}
            << QStringList{"A", "1; ", "0", "00", "00", "00", "0", "100", "#ff0000"};
    }

    // With every question right the report is the header alone.
    void header() {
        QFETCH(QString, name);
        QFETCH(QList<int>, tickets);
        QFETCH(QList<int>, greenRedRemain);
        QFETCH(QStringList, expected);
        ReportInput in = input(tickets, greenRedRemain[0], greenRedRemain[1], greenRedRemain[2],
                               QStringLiteral("Итог"));
        in.examineeName = name;
        for (int q = 1; q <= 10; ++q)
            setQuestion(tickets[0], q, flags({1}), flags({1}));
        QTextDocument document;
        composeReport(document, in, hooks());
        const QString result = "L b " + expected[8] + " 10 Arial | ";
        QCOMPARE(lines(document),
                 QStringList(
                     {"C b #000000 10 Arial | Уважаемый(ая)  " + expected[0],
                      "C b #000000 10 Arial | Ваши результаты:",
                      "L b #000000 10 Arial | Были отобраны билеты - " + expected[1],
                      "L b #000000 10 Arial | Общее количество вопросов - " + expected[2],
                      "L b #008000 10 Arial | Правильно-отвеченных вопросов - " + expected[3] +
                          ". Это " + expected[6] + " процента(ов) от общего количества.",
                      "L b #ff0000 10 Arial | Неправильно-отвеченных вопросов - " + expected[4] +
                          ". Это " + expected[7] + " процента(ов) от общего количества.",
                      "L b #000000 10 Arial | Неуспели ответить на " + expected[5] + " вопросов.",
                      "L b #000000 10 Arial | Результаты показали что : ", result + "Итог", result,
                      result}));
        QCOMPARE(fileIoErrors_, 0);
    }

    // One ticket of ten ended by the clock: 3 right, 1 wrong, 2 presented and
    // left, 4 never presented (its header is the "timed out" row above).
    void timedOutExam() {
        for (int q = 1; q <= 3; ++q)
            setQuestion(1, q, flags({2}), flags({2}));
        setQuestion(1, 4, flags({3}), flags({1}));
        setQuestion(1, 5, flags({}), flags({2}));
        setQuestion(1, 6, flags({}), flags({1, 4}));
        QTextDocument document;
        composeReport(document, input({1}, 3, 1, 6), hooks());
        const QStringList all = lines(document);
        const QString question =
            QStringLiteral("J - #000000 12 Times New Roman | Вопрос 1.%1 текст");
        const auto block = [&](int q, const QStringList& chosen, const QStringList& right) {
            QStringList result{
                "C b #0000ff 10 Arial | Были допущены ошибки на вопрос:", "C b #0000ff 10 Arial | ",
                question.arg(q), "L - #ff0000 10 Arial | Вы ответили неправильно выбрав ответы:"};
            for (const QString& text : chosen)
                result << "L - #000000 10 Arial | " + text;
            result << "L - #008000 10 Arial | Здесь правильными являются ответы:";
            for (const QString& text : right)
                result << "L - #000000 10 Arial | " + text;
            return result << "L - #000000 10 Arial | ";
        };
        QStringList expected{"L b #ff0000 10 Arial | ВЫ не сдали Экзамен! Оценка - 2",
                             "L b #ff0000 10 Arial | ",
                             "L b #ff0000 10 Arial | ",
                             "L b #ff0000 10 Arial | ",
                             "C b #000080 10 Arial | Вы допустили ошибки в билете под номером 1",
                             "C b #000080 10 Arial | "};
        expected << block(4, {answer(3, 1, 4)}, {answer(1, 1, 4)})
                 << block(5, {}, {answer(2, 1, 5)})
                 << block(6, {}, {"строка 1", "строка 2", answer(4, 1, 6)});
        QCOMPARE(all.mid(8), expected);
        QCOMPARE(progress_,
                 (QList<QPair<int, int>>{{1, 10}, {2, 10}, {3, 10}, {4, 10}, {5, 10}, {6, 10}}));

        // The question keeps its own looks: the number bold, the rest not.
        const QTextCursor number = document.find(QStringLiteral("1.4"));
        QTextCursor at(&document);
        at.setPosition(number.selectionEnd());
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Bold));
        at.setPosition(number.selectionEnd() + 2);
        QCOMPARE(at.charFormat().fontWeight(), int(QFont::Normal));

        // Composed again: the same document, not appended to.
        const QString html = document.toHtml();
        composeReport(document, input({1}, 3, 1, 6), hooks());
        QCOMPARE(document.toHtml(), html);
    }

    void questionBlocks_data() {
        QTest::addColumn<QList<QList<int>>>("cells"); // ticket, question, chosen..., 0, right...
        QTest::addColumn<QList<int>>("tickets");
        QTest::addColumn<QStringList>("expected"); // the report's text below the header
        QTest::addColumn<int>("fileIoErrors");
        const QString ticket = QStringLiteral("Вы допустили ошибки в билете под номером %1");
        const QString blue = QStringLiteral("Были допущены ошибки на вопрос:");
        const QString chose = QStringLiteral("Вы ответили неправильно выбрав ответы:");
        const QString right = QStringLiteral("Здесь правильными являются ответы:");
        QTest::newRow("errors in 2 and 5")
            << QList<QList<int>>{{1, 2, 1, 0, 2}, {1, 5, 3, 0, 3, 4}} << QList<int>{1}
            << QStringList{ticket.arg(1),      blue,           "Вопрос 1.2 текст", chose,
                           answer(1, 1, 2),    right,          answer(2, 1, 2),    blue,
                           "Вопрос 1.5 текст", chose,          answer(3, 1, 5),    right,
                           answer(3, 1, 5),    answer(4, 1, 5)}
            << 0;
        QTest::newRow("chose 1 and 3, right 1 and 2")
            << QList<QList<int>>{{3, 7, 1, 3, 0, 1, 2}} << QList<int>{3}
            << QStringList{ticket.arg(3),
                           blue,
                           "Вопрос 3.7 текст",
                           chose,
                           answer(1, 3, 7),
                           answer(3, 3, 7),
                           right,
                           answer(1, 3, 7),
                           answer(2, 3, 7)}
            << 0;
        QTest::newRow("tickets in order, unchosen ticket left out")
            << QList<QList<int>>{{2, 10, 5, 0, 4}, {1, 1, 0, 1}, {3, 2, 2, 0, 1}}
            << QList<int>{2, 1}
            << QStringList{ticket.arg(1),
                           blue,
                           "Вопрос 1.1 текст",
                           chose,
                           right,
                           answer(1, 1, 1),
                           ticket.arg(2),
                           blue,
                           "Вопрос 2.10 текст",
                           chose,
                           answer(5, 2, 10),
                           right,
                           answer(4, 2, 10)}
            << 0;
        QTest::newRow("unreadable records, composition goes on")
            << QList<QList<int>>{{2, 3, 1, 0, 2}, {2, 4, 1, 0, 2}, {2, 5, 1, 0, 2}} << QList<int>{2}
            << QStringList{ticket.arg(2),
                           blue,
                           "Вопрос 2.3 текст",
                           chose,
                           right,
                           blue,
                           "Вопрос 2.4 текст",
                           chose,
                           answer(1, 2, 4),
                           right,
                           answer(2, 2, 4),
                           blue,
                           "Вопрос 2.5 текст",
                           chose,
                           right}
            << 2;
    }

    void questionBlocks() {
        QFETCH(QList<QList<int>>, cells);
        QFETCH(QList<int>, tickets);
        QFETCH(QStringList, expected);
        QFETCH(int, fileIoErrors);
        for (const QList<int>& cell : cells) {
            const qsizetype split = cell.indexOf(0, 2);
            QByteArray chosen = flags({}), right = flags({});
            for (qsizetype i = 2; i < cell.size(); ++i)
                if (i != split)
                    (i < split ? chosen : right)[cell[i] - 1] = 1;
            setQuestion(cell[0], cell[1], chosen, right);
        }
        QTextDocument document;
        composeReport(document, input(tickets, 0, int(cells.size()), 0), hooks());
        QCOMPARE(texts(document).mid(9), expected);
        QCOMPARE(fileIoErrors_, fileIoErrors);
        // The empty answer lines of an unreadable record are still there.
        if (fileIoErrors)
            QVERIFY(document.toPlainText().contains(
                QStringLiteral("Вы ответили неправильно выбрав ответы:\n\n"
                               "Здесь правильными являются ответы:\n\n")));
    }

    void missingQuestionTextThrows() {
        setQuestion(3, 1, flags({1}), flags({2}));
        QTextDocument document;
        QVERIFY_THROWS_EXCEPTION(ArchiveError,
                                 composeReport(document, input({3}, 0, 1, 0), hooks()));
    }

    void noChosenTicketLeavesTheDocumentEmpty() {
        QTextDocument document;
        document.setPlainText(QStringLiteral("the last question"));
        composeReport(document, input({}, 1, 1, 1), hooks());
        QVERIFY(document.isEmpty());
    }

    void savedReportReadsBackWithItsLooks() {
        setQuestion(1, 4, flags({3}), flags({1}));
        QTextDocument document;
        composeReport(document, input({1}, 9, 1, 0), hooks());
        const QString path = folder_.filePath(QStringLiteral("Otchet.RTF"));
        QCOMPARE(saveReport(document, path), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QTextDocument back;
        QTextCursor cursor(&back);
        QVERIFY(insertRtf(cursor, file.readAll()).ok);
        // The writer leaves out the document's last, empty paragraph.
        QCOMPARE(lines(back), lines(document).mid(0, document.blockCount() - 1));
    }

    void failedSaveKeepsTheFile() {
        QTextDocument first, second;
        first.setPlainText(QStringLiteral("первый"));
        second.setPlainText(QStringLiteral("второй"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("report")); // no extension is added
        QCOMPARE(saveReport(first, path), QString());
        QCOMPARE(saveReport(second, path), QString());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray kept = file.readAll();
        file.close();
        QCOMPARE(kept, writeRtf(second));

        QVERIFY(!saveReport(first, path + QStringLiteral("/x.rtf")).isEmpty());
#ifdef Q_OS_LINUX
        // The disk fills up halfway through the write.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &small);
        const QString error = saveReport(first, path);
        setrlimit(RLIMIT_FSIZE, &saved);
        QVERIFY(!error.isEmpty());
#endif
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), kept);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("report")});
    }
};

} // namespace

QTEST_GUILESS_MAIN(ReportTest)
#include "report_test.moc"
