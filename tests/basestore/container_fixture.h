#pragma once

#include <QByteArray>
#include <initializer_list>
#include <utility>

// A well-formed record container from (section, key, value) triples.
struct Record {
    QByteArray section, key, value;
};

inline QByteArray container(std::initializer_list<Record> records) {
    QByteArray bytes;
    for (const Record& r : records) {
        bytes += '\0' + r.section + '\0' + r.key + '\0' + QByteArray::number(r.value.size()) +
                 '\0' + r.value;
    }
    bytes += '\0';
    return bytes;
}
