#include "app/answer_widgets.h"

#include "settings/color_ref.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

namespace korvel {

namespace {
// The app-wide skin styles memos; a box's own sheet carries its font and,
// over the skin, its colour.
const QString AnswerBoxStyle = QStringLiteral(
    "font-family: 'Liberation Sans', Arial; font-size: 15px; background: rgb(%1, %2, %3);");
} // namespace

AnswerBox::AnswerBox(QWidget* parent)
    : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::NoFocus);
    setColor(16777215);
}

void AnswerBox::setColor(int colorRef) {
    if (colorRef == color_)
        return;
    color_ = colorRef;
    const ColorRgb rgb = colorRefToRgb(colorRef);
    setStyleSheet(AnswerBoxStyle.arg(rgb.red).arg(rgb.green).arg(rgb.blue));
}

int AnswerBox::lineCount(const QString& text) const {
    const_cast<AnswerBox*>(this)->ensurePolished();
    const qreal margin = document()->documentMargin();
    const qreal width = qMax(1.0, qreal(contentsRect().width()) - 2 * margin);
    QStringList paragraphs = text.split(QLatin1Char('\n'));
    if (paragraphs.size() > 1 && paragraphs.last().isEmpty())
        paragraphs.removeLast();
    int lines = 0;
    for (const QString& paragraph : paragraphs) {
        QTextLayout layout(paragraph, font());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        int paragraphLines = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            ++paragraphLines;
        }
        layout.endLayout();
        lines += qMax(1, paragraphLines);
    }
    return lines;
}

AnswerSwitch::AnswerSwitch(QWidget* parent)
    : QCheckBox(parent) {
    setStyleSheet(QStringLiteral(
        "QCheckBox { spacing: 0px; border: 2px solid transparent; border-radius: 4px; }"
        "QCheckBox:focus { border-color: #e08a1e; }"
        "QCheckBox::indicator { width: 32px; height: 16px; border: none; background: transparent;"
        " image: url(:/pictures/switch_off.png); }"
        "QCheckBox::indicator:checked { image: url(:/pictures/switch_on.png); }"
        "QCheckBox::indicator:disabled { image: url(:/pictures/switch_off.png); }"
        "QCheckBox::indicator:checked:disabled { image: url(:/pictures/switch_on.png); }"));
}

Lamp::Lamp(const QString& strip, QWidget* parent)
    : QLabel(parent)
    , strip_(strip) {
    animation_.setInterval(FrameMs);
    connect(&animation_, &QTimer::timeout, this, [this] { showFrame((frame_ + 1) % Frames); });
    showFrame(0);
}

void Lamp::setLit(bool lit) {
    if (lit == isLit())
        return;
    if (lit) {
        animation_.start();
        showFrame(1);
    } else {
        animation_.stop();
        showFrame(0);
    }
}

void Lamp::showFrame(int frame) {
    frame_ = frame;
    if (strip_.isNull() || width() <= 0 || height() <= 0)
        return;
    const int frameWidth = strip_.width() / Frames;
    setPixmap(strip_.copy(frameWidth * frame, 0, frameWidth, strip_.height())
                  .scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void Lamp::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFrame(frame_);
}

void QuestionPicture::setImage(const QImage& image) {
    image_ = image;
    shown_ = QPixmap();
    update();
}

void QuestionPicture::setStretched(bool stretched) {
    if (stretched == stretched_)
        return;
    stretched_ = stretched;
    shown_ = QPixmap();
    update();
}

void QuestionPicture::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    emit clicked();
}

void QuestionPicture::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    shown_ = QPixmap();
}

void QuestionPicture::paintEvent(QPaintEvent*) {
    if (image_.isNull() || width() <= 0 || height() <= 0)
        return;
    if (shown_.isNull()) {
        const QSize fitted = stretched_ ? size()
                             : image_.size().boundedTo(size()) == image_.size()
                                 ? image_.size()
                                 : image_.size().scaled(size(), Qt::KeepAspectRatio);
        shown_ = QPixmap::fromImage(
            fitted == image_.size()
                ? image_
                : image_.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QPainter painter(this);
    const QRect target(QPoint((width() - shown_.width()) / 2, (height() - shown_.height()) / 2),
                       shown_.size());
    painter.drawPixmap(target, shown_);
}

} // namespace korvel
