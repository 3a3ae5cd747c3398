#include "app/hint_wrapping.h"

#include <QHelpEvent>
#include <QTextLayout>
#include <QToolTip>
#include <QWidget>

namespace korvel {

namespace {
// Border 2 on each side, a 17-pixel scroll bar and a text margin of 2 a side.
constexpr int MemoChrome = 2 * 2 + 17 + 2 * 2;
// Long enough that a tool tip stays until the pointer leaves its control.
constexpr int HintShowMs = 24 * 60 * 60 * 1000;

QStringList wrapParagraph(const QString& paragraph, const QFont& font, int width) {
    if (paragraph.isEmpty())
        return {QString()};
    QTextLayout layout(paragraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString text = paragraph.mid(line.textStart(), line.textLength());
        // The blank at which a line breaks belongs to neither line.
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        lines.append(text);
    }
    layout.endLayout();
    return lines;
}
} // namespace

int hintTextWidth() {
    return HintMemoWidth - MemoChrome;
}

QString spSkinHint1ShowHint(const QString& hint, const QFont& font) {
    QString text = hint;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList paragraphs = text.split(QLatin1Char('\n'));
    // An empty last line of the memo is not a line.
    if (paragraphs.size() > 1 && paragraphs.last().isEmpty())
        paragraphs.removeLast();
    QStringList lines;
    for (const QString& paragraph : paragraphs)
        lines += wrapParagraph(paragraph, font, hintTextWidth());
    return lines.join(QStringLiteral("\r\n"));
}

HintWrapper::HintWrapper(const QFont& font, QObject* parent)
    : QObject(parent)
    , font_(font) {}

bool HintWrapper::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->toolTip().isEmpty())
        return QObject::eventFilter(watched, event);
    lastHint_ = spSkinHint1ShowHint(widget->toolTip(), font_);
    // Shown as rich text that keeps our line breaks and nothing else, so a
    // hint's own "<" or "&" stays plain.
    QString shown = lastHint_.toHtmlEscaped();
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    const auto* help = static_cast<QHelpEvent*>(event);
    QToolTip::showText(help->globalPos(),
                       QStringLiteral("<p style='white-space:pre'>") + shown +
                           QStringLiteral("</p>"),
                       widget, widget->rect(), HintShowMs);
    return true;
}

} // namespace korvel
