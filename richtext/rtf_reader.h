#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class QTextCursor;
class QTextDocument;

namespace korvel {

struct RtfReadResult {
    bool ok = true;  // false only when the bytes are not RTF at all
    QString message; // why not, or what was repaired (unclosed groups, cut \bin)
};

// True when the bytes begin with "{\rtf" after optional white space.
bool isRtf(const QByteArray& bytes);

// Inserts RTF at the cursor. The first paragraph of the text continues the
// cursor's block (and sets its paragraph format), so callers that append a
// text as a new part of a document start a new block first. Pictures become
// image resources of the cursor's document. The cursor ends after the text.
RtfReadResult insertRtf(QTextCursor& cursor, const QByteArray& rtf);

// A question text: RTF when isRtf(), otherwise plain Windows-1251 text with
// CR LF line ends. Inserted at the cursor like insertRtf.
RtfReadResult loadQuestionText(QTextCursor& cursor, const QByteArray& bytes);

// The same into a new document of its own.
std::unique_ptr<QTextDocument> loadQuestionText(const QByteArray& bytes,
                                                RtfReadResult* result = nullptr);

} // namespace korvel
