#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <array>
#include <optional>

namespace korvel {

// A base as the program reads it, texts decoded from Windows-1251 with their
// CR LF kept.
struct DumpedBase {
    QString path;
    QString name;
    QString descript;
    std::optional<int> tickets;            // Base/Bil, when it is a number
    std::optional<int> questionsPerTicket; // Base/Vop
    QStringList pozdr;                     // the lines the results page picks from
    QStringList izdevat;
    bool mainPicture = false; // the entry exists with bytes
    bool goodAnimation = false;
    bool badAnimation = false;
    QStringList damagedPictures;  // entry names of pictures that are there but do not read
    std::optional<QString> error; // questions are not read when set
};

struct DumpedQuestion {
    int ticket = 0;
    int question = 0;
    bool textPresent = false; // the entry exists and reads
    bool textRtf = false;     // the entry starts with {\rtf
    qsizetype textBytes = 0;
    bool picture = false;        // the entry exists with bytes
    bool pictureDamaged = false; // the entry exists but does not read
    QByteArray pictureBytes;
    int answerMode = 1;
    std::array<std::optional<QString>, 5> answers; // nullopt when absent or empty
    QList<int> right;
    QString literatureIndex;
    QString literaturePunkt;
    QString literaturePage; // the descriptor's Literature/L<index>
    // The record is missing, damaged or malformed, or its mode is out of
    // range; the other values are then those of an empty record.
    std::optional<QString> error;
};

// Receives a base piece by piece, so that a base of a million questions is
// never held in memory at once.
class DumpSink {
public:
    virtual ~DumpSink() = default;
    virtual void base(const DumpedBase& base) = 0;
    virtual void question(const DumpedQuestion& question) = 0;
    virtual void finish() = 0;
};

// Reads the base through the program's own readers (openBase,
// readArchiveEntry, ReadQuestionRecord, readQuestionKeys). Gives true when
// neither the base nor any question had an error.
bool dumpBase(const QString& path, DumpSink& sink);

// UTF-8 JSON, one question a line.
class JsonDumpWriter : public DumpSink {
public:
    explicit JsonDumpWriter(QTextStream& out)
        : out_(out) {}
    void base(const DumpedBase& base) override;
    void question(const DumpedQuestion& question) override;
    void finish() override;

private:
    QTextStream& out_;
    bool firstQuestion_ = true;
};

// The same for people.
class TextDumpWriter : public DumpSink {
public:
    explicit TextDumpWriter(QTextStream& out)
        : out_(out) {}
    void base(const DumpedBase& base) override;
    void question(const DumpedQuestion& question) override;
    void finish() override;

private:
    QTextStream& out_;
    int questions_ = 0;
    int errors_ = 0;
};

// A JSON string literal, quotes included.
QString jsonString(const QString& text);

} // namespace korvel
