#include "zip_surgery.h"

#include <QFile>
#include <QtEndian>
#include <functional>

namespace korvel {

namespace {

quint32 read32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

quint16 read16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

void write32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

struct EntryHeaders {
    qsizetype central = -1; // offset of the central directory record
    qsizetype local = -1;   // offset of the local header
};

// Finds the entry through the end-of-central-directory record.
EntryHeaders findEntry(const QByteArray& bytes, const QByteArray& name) {
    EntryHeaders headers;
    const qsizetype end = bytes.lastIndexOf(QByteArray("PK\x05\x06", 4));
    if (end < 0 || end + 22 > bytes.size())
        return headers;
    qsizetype at = read32(bytes, end + 16);
    const int count = read16(bytes, end + 10);
    for (int k = 0; k < count && at + 46 <= bytes.size(); ++k) {
        const int nameLength = read16(bytes, at + 28);
        const int extraLength = read16(bytes, at + 30);
        const int commentLength = read16(bytes, at + 32);
        if (bytes.mid(at + 46, nameLength) == name) {
            headers.central = at;
            headers.local = read32(bytes, at + 42);
            return headers;
        }
        at += 46 + nameLength + extraLength + commentLength;
    }
    return headers;
}

bool patch(const QString& path, const QByteArray& name,
           const std::function<void(QByteArray&, const EntryHeaders&)>& change) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    file.close();
    const EntryHeaders headers = findEntry(bytes, name);
    if (headers.central < 0 || headers.local + 30 > bytes.size())
        return false;
    change(bytes, headers);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

bool corruptEntryCrc(const QString& path, const QByteArray& name) {
    return patch(path, name, [](QByteArray& bytes, const EntryHeaders& at) {
        const quint32 crc = read32(bytes, at.central + 16) ^ 0x5A5A5A5Au;
        write32(bytes, at.central + 16, crc);
        write32(bytes, at.local + 14, crc);
    });
}

bool setDeclaredSize(const QString& path, const QByteArray& name, quint32 size) {
    return patch(path, name, [size](QByteArray& bytes, const EntryHeaders& at) {
        write32(bytes, at.central + 24, size);
        write32(bytes, at.local + 22, size);
    });
}

bool corruptEntryData(const QString& path, const QByteArray& name) {
    return patch(path, name, [](QByteArray& bytes, const EntryHeaders& at) {
        const qsizetype data =
            at.local + 30 + read16(bytes, at.local + 26) + read16(bytes, at.local + 28);
        const qsizetype size = read32(bytes, at.central + 20);
        for (qsizetype k = data + size / 4; k < data + size - size / 4 && k < bytes.size(); ++k)
            bytes[k] = char(0xFF - k % 7);
    });
}

bool truncateFile(const QString& path, qint64 size) {
    return QFile::resize(path, size);
}

} // namespace korvel
