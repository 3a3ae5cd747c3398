#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <functional>

class QTextDocument;

namespace korvel {

class Archiver;

// What the report of a run is made of, read by the caller at the moment of
// composition.
struct ReportInput {
    QString examineeName;     // TForm2's spSkinEdit1, verbatim
    QList<int> chosenTickets; // ticket numbers; listed in ascending order
    int questionsPerTicket = 0;
    int remain = 0;    // ButtonRemain
    int green = 0;     // GreenLabel
    int red = 0;       // RedLabel
    QString analizStr; // the result line as shown
    int percent = 0;   // of right answers, as graded
    bool good = false; // a good result (grade 4 or 5): the result line in green
    // Flags 1..5 of a question's cells (5 bytes, non-zero = set).
    std::function<QByteArray(int ticket, int question)> chosenCell;
    std::function<QByteArray(int ticket, int question)> rightCell;
    // The run passed the question over: its record could not be read.
    std::function<bool(int ticket, int question)> passedOver;
    QString basePath;             // CurrentBasePath
    Archiver* archiver = nullptr; // reads the question entries of basePath
};

struct ReportHooks {
    std::function<void(int value, int maximum)> progress; // the overlay's gauge
    std::function<void()> fileIoError; // a question record failed: the caller shows "File IO error"
};

// Colour references (00BBGGRR) of the report's lines.
namespace ReportColor {
inline constexpr int Black = 0;
inline constexpr int Green = 32768;
inline constexpr int Red = 255;
inline constexpr int Navy = 8388608;
inline constexpr int Blue = 16711680;
} // namespace ReportColor

// The header and the question blocks, into `document` (cleared first). With
// no chosen ticket the document stays empty.
// Throws ArchiveError when a question text entry cannot be read: the caller
// reports it and restores the window.
void composeReport(QTextDocument& document, const ReportInput& input, const ReportHooks& hooks);

// A new last line in Arial 10 pt of that colour: bold and centred.
void AppendTitleLine(QTextDocument& document, const QString& text, int colorRef);
// A new last line in Arial 10 pt of that colour, left aligned, keeping the
// bold, italic, underline and strike-out in effect at the end of the document.
void AppendTextLine(QTextDocument& document, const QString& text, int colorRef);
// A new empty last line with the formats in effect at the end of the document.
void AppendEmptyLine(QTextDocument& document);

// "1; 2; 3; ": the drawn tickets in ascending order (also spSkinEdit2's text).
QString ticketListText(const QList<int>& tickets);

// A counter as its label shows it: "03", "12".
QString counterText(int value);

} // namespace korvel
