#include "test_base_builder.h"

#include "basestore/question_cipher.h"
#include "basestore/question_record.h"

#include <QBuffer>
#include <QImage>

namespace korvel {

TestBaseBuilder& TestBaseBuilder::setCounts(int tickets, int questionsPerTicket,
                                            const QByteArray& name) {
    descriptor_.add("Base", "Name", name)
        .add("Base", "Vop", QByteArray::number(questionsPerTicket))
        .add("Base", "Bil", QByteArray::number(tickets));
    return *this;
}

TestBaseBuilder& TestBaseBuilder::addQuestion(int ticket, int question, const QByteArray& text,
                                              const RecordContainerWriter& record,
                                              const QByteArray& picture) {
    entries_.append(
        Entry{questionEntryName(questionTextEntry(ticket, question)), text, compression_});
    if (!picture.isEmpty())
        entries_.append(Entry{questionEntryName(questionPictureEntry(ticket, question)), picture,
                              compression_});
    entries_.append(Entry{questionEntryName(questionRecordEntry(ticket, question)),
                          cipherQuestionRecord(record.bytes()), compression_});
    return *this;
}

TestBaseBuilder& TestBaseBuilder::addRawRecord(int ticket, int question, const QByteArray& bytes) {
    entries_.append(
        Entry{questionEntryName(questionRecordEntry(ticket, question)), bytes, compression_});
    return *this;
}

TestBaseBuilder& TestBaseBuilder::addEntry(const QString& name, const QByteArray& data,
                                           EntryCompression compression) {
    entries_.append(Entry{name, data, compression});
    return *this;
}

TestBaseBuilder& TestBaseBuilder::setCompression(EntryCompression compression) {
    compression_ = compression;
    return *this;
}

TestBaseBuilder& TestBaseBuilder::setSlashNames(bool slash) {
    slashNames_ = slash;
    return *this;
}

void TestBaseBuilder::write(const QString& path) const {
    BaseArchiveWriter archive;
    if (!descriptor_.isEmpty())
        archive.addEntry("base.dni", descriptor_.bytes(), compression_);
    // The descriptor first, as a built base has it; the rest in the order added.
    for (const Entry& entry : entries_)
        archive.addEntry(entry.name, entry.data, entry.compression);
    archive.write(path);
}

QString TestBaseBuilder::questionEntryName(const QString& name) const {
    QString result = name;
    return slashNames_ ? result.replace(u'\\', u'/') : result;
}

RecordContainerWriter standardQuestion(int right, int answers) {
    RecordContainerWriter record;
    record.add("vop", "yes", QByteArray::number(right));
    for (int n = 1; n <= answers; ++n)
        record.add("vop", "ot" + QByteArray::number(n), "Answer " + QByteArray::number(n));
    return record;
}

RecordContainerWriter multipleQuestion(const QList<int>& right, int answers) {
    RecordContainerWriter record;
    record.add("vop", "yes", "0");
    for (int n = 1; n <= answers; ++n) {
        const QByteArray number = QByteArray::number(n);
        record.add("vop", "ot" + number, "Answer " + number);
        record.add("vop", "V" + number, right.contains(n) ? "1" : "0");
    }
    return record;
}

TestBaseBuilder standardBase(int tickets, int questionsPerTicket) {
    TestBaseBuilder base;
    base.setCounts(tickets, questionsPerTicket);
    for (int t = 1; t <= tickets; ++t) {
        for (int q = 1; q <= questionsPerTicket; ++q)
            base.addQuestion(t, q, QStringLiteral("Question %1.%2").arg(t).arg(q).toLatin1(),
                             standardQuestion(1 + (q - 1) % 3));
    }
    return base;
}

QByteArray testJpeg() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

QByteArray testGif() {
    // 1x1, two-colour global table, one LZW-coded pixel.
    static const unsigned char gif[] = {'G',  'I',  'F',  '8',  '9',  'a',  0x01, 0x00, 0x01,
                                        0x00, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                                        0xFF, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01,
                                        0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    return QByteArray(reinterpret_cast<const char*>(gif), sizeof gif);
}

} // namespace korvel
