#include "csv_import.h"

#include "plain_text_file.h"
#include "question_admission.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace korvel {

namespace {

enum Column { TicketColumn, QuestionColumn, FirstAnswerColumn, RightColumn = 7, PictureColumn };
constexpr qsizetype ColumnCount = PictureColumn + 1;
constexpr qint64 MaxPictureFile = 64 * 1024 * 1024;

QChar detectSeparator(QStringView text) {
    qsizetype commas = 0;
    qsizetype semicolons = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && c == u'\n')
            break;
        else if (!quoted && c == u',')
            ++commas;
        else if (!quoted && c == u';')
            ++semicolons;
    }
    return semicolons > commas ? u';' : u',';
}

class CsvQuestionReader {
public:
    CsvQuestionReader(QuestionBank& bank, const QString& pictureFolder)
        : bank_(bank)
        , folder_(pictureFolder) {}
    void read(const CsvRecord& record);

private:
    QByteArray picture(const QString& name, const QString& question);

    QuestionBank& bank_;
    QString folder_;
};

void CsvQuestionReader::read(const CsvRecord& record) {
    QStringList cells = record.cells;
    if (cells.size() > ColumnCount) {
        bank_.warnings << QStringLiteral("line %1: %2 cells, the cells after the %3th are ignored")
                              .arg(record.line)
                              .arg(cells.size())
                              .arg(ColumnCount);
    }
    cells.resize(ColumnCount);
    BankQuestion question;
    question.category = cells[TicketColumn].trimmed();
    question.text = cells[QuestionColumn].trimmed();
    question.name =
        QStringLiteral("line %1 (%2)").arg(record.line).arg(nameFromText(question.text));
    if (question.text.isEmpty()) {
        bank_.warnings << aboutQuestion(question.name, QStringLiteral("has no text; left out"));
        return;
    }
    qsizetype answers = 0;
    for (qsizetype k = 0; k < MaxBankAnswers; ++k) {
        if (!cells[FirstAnswerColumn + k].trimmed().isEmpty())
            answers = k + 1;
    }
    for (qsizetype k = 0; k < answers; ++k)
        question.answers << BankAnswer{cells[FirstAnswerColumn + k], 0};

    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    const QStringList numbers = cells[RightColumn].split(separators, Qt::SkipEmptyParts);
    if (numbers.isEmpty()) {
        bank_.warnings << aboutQuestion(question.name,
                                        QStringLiteral("names no right answer; left out"));
        return;
    }
    for (const QString& number : numbers) {
        bool ok = false;
        const int n = number.toInt(&ok);
        if (!ok || n < 1 || n > answers) {
            bank_.warnings << aboutQuestion(
                question.name,
                QStringLiteral("right answer \"%1\" is not one of its %2 answers; left out")
                    .arg(number)
                    .arg(answers));
            return;
        }
        question.answers[n - 1].fraction = 100;
    }
    question.single = numbers.size() == 1;
    const QString pictureName = cells[PictureColumn].trimmed();
    if (!pictureName.isEmpty())
        question.picture = picture(pictureName, question.name);
    admitQuestion(std::move(question), bank_);
}

QByteArray CsvQuestionReader::picture(const QString& name, const QString& question) {
    // Only files beside the table: a name must not lead anywhere else.
    if (name.contains(u'/') || name.contains(u'\\') || name == u".." || name == u"." ||
        QDir::isAbsolutePath(name)) {
        bank_.warnings << aboutQuestion(
            question,
            QStringLiteral("picture %1 is not a file name beside the table; left out").arg(name));
        return {};
    }
    QFile file(folder_.isEmpty() ? QString() : QDir(folder_).filePath(name));
    if (folder_.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        bank_.warnings << aboutQuestion(
            question, QStringLiteral("picture %1 cannot be read; left out").arg(name));
        return {};
    }
    if (file.size() > MaxPictureFile) {
        bank_.warnings << aboutQuestion(
            question, QStringLiteral("picture %1 is too big; left out").arg(name));
        return {};
    }
    return file.readAll();
}

} // namespace

QList<CsvRecord> readCsvRecords(const QString& text, QStringList* warnings) {
    const QChar separator = detectSeparator(text);
    QList<CsvRecord> records;
    CsvRecord record;
    QString cell;
    int line = 1;
    record.line = 1;
    bool quoted = false;
    bool any = false; // the record holds something, even an empty cell
    const auto endCell = [&] {
        record.cells << cell;
        cell.clear();
    };
    const auto endRecord = [&] {
        endCell();
        const bool blank = record.cells.size() == 1 && record.cells.first().trimmed().isEmpty();
        if (!blank)
            records << record;
        record = CsvRecord{};
        any = false;
    };
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        if (!any) {
            record.line = line;
            any = true;
        }
        if (quoted) {
            if (c == u'"') {
                if (k + 1 < text.size() && text[k + 1] == u'"') {
                    cell += u'"';
                    ++k;
                } else {
                    quoted = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            endCell();
        } else if (c == u'\n') {
            ++line;
            endRecord();
        } else {
            cell += c;
        }
    }
    if (quoted)
        *warnings << QStringLiteral("line %1: a quoted cell is never closed").arg(record.line);
    if (any)
        endRecord();
    return records;
}

QuestionBank importCsv(const QByteArray& csv, const QString& pictureFolder) {
    QuestionBank bank;
    const QString text = decodeUtf8File(csv, &bank.warnings);
    const QList<CsvRecord> records = readCsvRecords(text, &bank.warnings);
    CsvQuestionReader reader(bank, pictureFolder);
    for (qsizetype k = 0; k < records.size(); ++k) {
        const CsvRecord& record = records[k];
        if (k == 0 && record.cells.first().trimmed().compare(QLatin1String("ticket"),
                                                             Qt::CaseInsensitive) == 0)
            continue; // the header row
        reader.read(record);
    }
    return bank;
}

} // namespace korvel
