#pragma once

#include <QFile>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextTable>

// Helpers shared by the reader and writer tests: load a corpus file, and
// look up the format and paragraph of a named phrase.
namespace rtftest {

inline QByteArray corpusFile(const QString& name) {
    QFile file(QStringLiteral(KORVEL_RTF_CORPUS_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing corpus file %s", qPrintable(name));
    return file.readAll();
}

struct Phrase {
    bool found = false;
    QTextCharFormat format;
    QTextBlockFormat block;
};

// The format of the phrase's first character and the format of its paragraph.
inline Phrase findPhrase(const QTextDocument& document, const QString& phrase) {
    const QTextCursor hit = document.find(phrase);
    Phrase result;
    if (hit.isNull())
        return result;
    QTextCursor at(const_cast<QTextDocument*>(&document));
    at.setPosition(hit.selectionStart() + 1);
    result.found = true;
    result.format = at.charFormat();
    result.block = at.blockFormat();
    return result;
}

inline QString colourName(const QTextCharFormat& format) {
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color().name()
                                                            : QString();
}

struct Picture {
    QString name;
    double width = 0;
    double height = 0;
};

inline QList<Picture> pictures(const QTextDocument& document) {
    QList<Picture> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                // Pictures side by side with one format are one fragment.
                const QTextImageFormat image = it.fragment().charFormat().toImageFormat();
                for (int n = 0; n < it.fragment().length(); ++n)
                    found << Picture{image.name(), image.width(), image.height()};
            }
    return found;
}

inline QList<QTextTable*> tables(const QTextDocument& document) {
    QList<QTextTable*> found;
    for (QTextFrame* frame : document.rootFrame()->childFrames())
        if (auto* table = qobject_cast<QTextTable*>(frame))
            found << table;
    return found;
}

inline QString cellText(QTextTable* table, int row, int column) {
    const QTextTableCell cell = table->cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cursor.selection().toPlainText();
}

} // namespace rtftest
