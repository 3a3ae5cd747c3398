#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace korvel {

// Writes the record container layout: records of
// 00 section 00 key 00 length 00 value, then one closing 00.
// Values are bytes as they are to be stored (Windows-1251, CR LF).
class RecordContainerWriter {
public:
    // Section and key must be non-empty and, like the value, free of 0x00:
    // the layout has no escape for it. Throws std::invalid_argument otherwise.
    RecordContainerWriter& add(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    // A record whose length field is written as given, for damaged containers.
    RecordContainerWriter& addWithLengthField(QByteArrayView section, QByteArrayView key,
                                              QByteArrayView lengthField, QByteArrayView value);
    // Bytes placed as they are at the current end (junk between records).
    RecordContainerWriter& addRaw(QByteArrayView bytes);

    bool isEmpty() const { return records_.isEmpty(); }
    // The container with its closing zero byte; empty when nothing was added.
    QByteArray bytes() const;
    // The same without the closing zero byte.
    const QByteArray& bytesWithoutClosingZero() const { return records_; }

private:
    QByteArray records_;
};

} // namespace korvel
