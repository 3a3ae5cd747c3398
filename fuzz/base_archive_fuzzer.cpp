// An archive held in memory, read as the program reads a base: the ZIP
// directory, every entry opening a base and showing a few questions reads,
// the descriptor and the question records behind them. No file is written,
// so each input costs what parsing it costs.
#include "basestore/descriptor.h"
#include "basestore/question_cipher.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"
#include "basestore/zip_directory.h"
#include "basestore/zip_entry_reader.h"

#include <QBuffer>
#include <algorithm>
#include <cstdint>
#include <optional>

using namespace korvel;

namespace {

void readDescriptor(ByteStream& descriptor) {
    try {
        descriptorName(descriptor);
        descriptorDescript(descriptor);
        descriptorPozdr(descriptor);
        descriptorIzdevat(descriptor);
    } catch (const RecordConversionError&) {
    }
}

void readQuestion(ByteStream& descriptor, const QByteArray& record) {
    ByteStream plain(cipherQuestionRecord(record));
    try {
        const QuestionRecord keys = readQuestionKeys(plain);
        for (int n : keys.rightAnswers()) {
            if (n < 1 || n > AnswerCount)
                __builtin_trap();
        }
        literaturePage(descriptor, keys.literatureIndex);
    } catch (const RecordConversionError&) {
    } catch (const AnswerModeError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // QBuffer warns at every seek past its end, which hostile offsets ask for.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    std::optional<ZipDirectory> directory;
    try {
        directory = ZipDirectory::read(file, QStringLiteral("fuzz.zip"));
    } catch (const ArchiveError&) {
        return 0;
    }
    const auto entry = [&](const QString& name) -> std::optional<QByteArray> {
        const ZipEntryLocation* location = directory->find(name.toLatin1());
        if (!location)
            return std::nullopt;
        std::optional<QByteArray> read = readZipEntry(file, *directory, *location);
        if (read && read->size() != qsizetype(location->size))
            __builtin_trap();
        return read;
    };

    for (const char* picture : {"Skin\\main.jpg", "Skin\\good.gif", "Skin\\bad.gif"})
        entry(QString::fromLatin1(picture));
    const std::optional<QByteArray> descriptorBytes = entry(QStringLiteral("base.dni"));
    if (!descriptorBytes)
        return 0;
    ByteStream descriptor(*descriptorBytes);
    readDescriptor(descriptor);
    BaseCounts counts;
    try {
        counts = readBaseCounts(descriptor);
    } catch (const DescriptorError&) {
        return 0;
    } catch (const RecordConversionError&) {
        return 0;
    }
    // A few questions are enough to reach every reader; a hostile descriptor
    // may announce a million.
    for (int t = 1; t <= std::min(counts.tickets, 3); ++t) {
        for (int q = 1; q <= std::min(counts.questionsPerTicket, 3); ++q) {
            entry(questionTextEntry(t, q));
            entry(questionPictureEntry(t, q));
            if (const std::optional<QByteArray> record = entry(questionRecordEntry(t, q)))
                readQuestion(descriptor, *record);
        }
    }
    return 0;
}
