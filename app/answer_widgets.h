#pragma once

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTimer>

namespace korvel {

// An answer box TestMemo<n>: read-only, word-wrapped, and painted in the
// colour the run gives it. `color` is a Windows colour reference 00BBGGRR.
class AnswerBox final : public QPlainTextEdit {
    Q_OBJECT
    Q_PROPERTY(int color READ color WRITE setColor)
public:
    explicit AnswerBox(QWidget* parent = nullptr);

    int color() const { return color_; }
    void setColor(int colorRef);

    // The lines `text` takes at the box's width with its font; an empty last
    // line does not count.
    int lineCount(const QString& text) const;

private:
    int color_ = -1;
};

// An on/off switch spSkinSwitch<n>: a checkable button drawn as a slide switch.
class AnswerSwitch final : public QCheckBox {
    Q_OBJECT
public:
    explicit AnswerSwitch(QWidget* parent = nullptr);
};

// GreenLamp or RedLamp: a strip of six frames side by side. While lit the
// frames run in turn; off shows frame 0.
class Lamp final : public QLabel {
    Q_OBJECT
    Q_PROPERTY(bool lit READ isLit WRITE setLit)
    Q_PROPERTY(int frame READ frame)
public:
    static constexpr int Frames = 6;
    static constexpr int FrameMs = 120;

    Lamp(const QString& strip, QWidget* parent = nullptr);

    bool isLit() const { return animation_.isActive(); }
    void setLit(bool lit);
    int frame() const { return frame_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFrame(int frame);

    QPixmap strip_;
    QTimer animation_;
    int frame_ = 0;
};

// Image16: the question picture, centred and scaled down in proportion to
// fit (a smaller picture keeps its size), or stretched over the whole area.
class QuestionPicture final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    void setStretched(bool stretched);
    bool isStretched() const { return stretched_; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage image_;
    QPixmap shown_; // the image at the size it is painted
    bool stretched_ = false;
};

} // namespace korvel
