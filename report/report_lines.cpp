#include "report/report_composition.h"
#include "settings/color_ref.h"

#include <QColor>
#include <QTextCursor>
#include <QTextDocument>

namespace korvel {

namespace {

QColor colorOf(int colorRef) {
    const ColorRgb rgb = colorRefToRgb(colorRef);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Sets the line's looks on the last (empty) paragraph, writes the text and
// ends the line; the new last paragraph carries the same looks on.
void appendLine(QTextDocument& document, const QString& text, int colorRef, bool title) {
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);

    QTextBlockFormat paragraph = cursor.blockFormat();
    paragraph.setAlignment(title ? Qt::AlignHCenter : Qt::AlignLeft);
    cursor.setBlockFormat(paragraph);

    QTextCharFormat format = cursor.charFormat();
    format.setForeground(colorOf(colorRef));
    format.setFontPointSize(10);
    format.setFontFamilies({QStringLiteral("Arial")});
    if (title) {
        format.setFontWeight(QFont::Bold);
        format.setFontItalic(false);
        format.setFontUnderline(false);
        format.setFontStrikeOut(false);
    }
    cursor.setBlockCharFormat(format);
    cursor.setCharFormat(format);
    cursor.insertText(text);
    cursor.insertBlock();
}

} // namespace

void AppendTitleLine(QTextDocument& document, const QString& text, int colorRef) {
    appendLine(document, text, colorRef, true);
}

void AppendTextLine(QTextDocument& document, const QString& text, int colorRef) {
    appendLine(document, text, colorRef, false);
}

void AppendEmptyLine(QTextDocument& document) {
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
}

} // namespace korvel
