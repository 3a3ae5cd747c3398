#include "descriptor.h"

#include "record_container.h"

#include <algorithm>

namespace korvel {

namespace {
int readCount(const char* key, ByteStream& descriptor) {
    QByteArray value;
    try {
        value = ReadRecordText("Base", key, descriptor);
    } catch (const RecordConversionError& error) {
        throw DescriptorError(std::string("Base/") + key + ": " + error.what());
    }
    const bool digitsOnly = !value.isEmpty() && std::all_of(value.begin(), value.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '-' || c == '+';
    });
    bool ok = false;
    const int count = value.toInt(&ok, 10);
    if (value.isEmpty())
        throw DescriptorError(std::string("Base/") + key + " is missing");
    if (!digitsOnly || !ok)
        throw DescriptorError(std::string("Base/") + key + " '" + value.left(40).toStdString() +
                              "' is not a number");
    return count;
}

QList<QByteArray> readLines(const char* key, ByteStream& descriptor) {
    ByteStream value;
    ReadRecordStream("Base", key, descriptor, value);
    return splitTextLines(value.bytes());
}
} // namespace

QByteArray descriptorName(ByteStream& descriptor) {
    return ReadRecordText("Base", "Name", descriptor);
}

QByteArray descriptorDescript(ByteStream& descriptor) {
    return ReadRecordText("Base", "Descript", descriptor);
}

BaseCounts readBaseCounts(ByteStream& descriptor) {
    BaseCounts counts;
    counts.questionsPerTicket = readCount("Vop", descriptor);
    counts.tickets = readCount("Bil", descriptor);
    return counts;
}

QList<QByteArray> descriptorPozdr(ByteStream& descriptor) {
    return readLines("Pozdr", descriptor);
}

QList<QByteArray> descriptorIzdevat(ByteStream& descriptor) {
    return readLines("Izdevat", descriptor);
}

QByteArray literaturePage(ByteStream& descriptor, const QByteArray& index) {
    return ReadRecordText("Literature", "L" + index, descriptor);
}

QList<QByteArray> splitTextLines(const QByteArray& text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype k = 0; k < size; ++k) {
        const char c = text[k];
        if (c != '\r' && c != '\n')
            continue;
        lines << text.mid(start, k - start);
        if (c == '\r' && k + 1 < size && text[k + 1] == '\n')
            ++k;
        start = k + 1;
    }
    if (start < size)
        lines << text.mid(start);
    return lines;
}

} // namespace korvel
