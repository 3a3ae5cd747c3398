#pragma once

#include "tools/korvelbase/base_archive_writer.h"
#include "tools/korvelbase/record_container_writer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvel {

// A base archive described in C++, for tests that need a base on disk.
//
//   TestBaseBuilder base;
//   base.setCounts(1, 2);
//   base.addQuestion(1, 1, "Text", standardQuestion(2));
//   base.addQuestion(1, 2, "Text", standardQuestion(1), testJpeg());
//   base.write(dir.filePath("base.zip"));
//
// base.dni is the descriptor container as given (nothing is added behind the
// test's back); question texts and pictures go in as bytes; records are
// enciphered unless added with addRawRecord. Entries are named the way the
// program names them (B1\T.1, with a backslash) unless setSlashNames(true).
class TestBaseBuilder {
public:
    // The descriptor, written as base.dni when it is not empty.
    RecordContainerWriter& descriptor() { return descriptor_; }
    // Base/Name, Base/Vop and Base/Bil: the least a base that opens needs.
    TestBaseBuilder& setCounts(int tickets, int questionsPerTicket,
                               const QByteArray& name = "Test base");

    // T.<q>, V.<q> (enciphered) and, when picture is not empty, J.<q>.
    TestBaseBuilder& addQuestion(int ticket, int question, const QByteArray& text,
                                 const RecordContainerWriter& record,
                                 const QByteArray& picture = {});
    // V.<q> stored exactly as given, not enciphered.
    TestBaseBuilder& addRawRecord(int ticket, int question, const QByteArray& bytes);
    // Any entry, named exactly as given.
    TestBaseBuilder& addEntry(const QString& name, const QByteArray& data,
                              EntryCompression compression = EntryCompression::Deflated);

    // The compression of the entries added after this call.
    TestBaseBuilder& setCompression(EntryCompression compression);
    // '/' instead of '\' in the names of the question entries added after this call.
    TestBaseBuilder& setSlashNames(bool slash);

    // Writes the archive; throws ArchiveWriteError.
    void write(const QString& path) const;

private:
    QString questionEntryName(const QString& name) const;

    struct Entry {
        QString name;
        QByteArray data;
        EntryCompression compression;
    };

    RecordContainerWriter descriptor_;
    QList<Entry> entries_;
    EntryCompression compression_ = EntryCompression::Deflated;
    bool slashNames_ = false;
};

// A single-answer record: answers "Answer 1" .. "Answer <answers>", vop/yes = right.
RecordContainerWriter standardQuestion(int right = 1, int answers = 3);
// A multiple-answer record (vop/yes = 0) with V<n> = 1 for the right ones.
RecordContainerWriter multipleQuestion(const QList<int>& right, int answers = 4);
// A base of tickets x questions standard questions, every text plain.
TestBaseBuilder standardBase(int tickets, int questionsPerTicket);

// Small pictures that decode, made here.
QByteArray testJpeg();
QByteArray testGif();

} // namespace korvel
