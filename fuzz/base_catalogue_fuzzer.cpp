// A whole base opened from an arbitrary archive file: listing, opening and
// reading the questions the descriptor announces, as the program does.
#include "basestore/base_catalogue.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("fuzz.zip");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }

    Archiver archiver;
    buildCatalogue(archiver, dir.path());
    // The second time through, the archive's kept directory serves.
    buildCatalogue(archiver, dir.path());
    OpenedBase base = openBase(archiver, path);
    if (archiver.isOpen())
        __builtin_trap();
    try {
        descriptorPozdr(base.descriptor);
        descriptorIzdevat(base.descriptor);
    } catch (const RecordConversionError&) {
    }
    if (!base.usable())
        return 0;
    // A few questions are enough to reach every reader; a hostile descriptor
    // may announce a million.
    const int tickets = std::min(base.counts.tickets, 3);
    const int questions = std::min(base.counts.questionsPerTicket, 3);
    for (int t = 1; t <= tickets; ++t) {
        for (int q = 1; q <= questions; ++q) {
            for (const QString& entry : {questionTextEntry(t, q), questionPictureEntry(t, q)}) {
                try {
                    readArchiveEntry(archiver, path, entry);
                } catch (const ArchiveError&) {
                }
            }
            try {
                ByteStream record = ReadQuestionRecord(archiver, path, t, q);
                const QuestionRecord keys = readQuestionKeys(record);
                literaturePage(base.descriptor, keys.literatureIndex);
            } catch (const std::runtime_error&) {
            }
        }
    }
    return 0;
}
