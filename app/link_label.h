#pragma once

#include <QColor>
#include <QLabel>
#include <QPixmap>
#include <QUrl>

namespace korvel {

// A clickable address: underlined, hand pointer, its text colour and another
// one while the pointer is over it. Optionally a small picture before the
// caption.
class LinkLabel final : public QLabel {
    Q_OBJECT
public:
    LinkLabel(const QString& caption, const QUrl& address, const QColor& color,
              const QColor& hoverColor, QWidget* parent = nullptr);

    // The small picture before the caption of the base list's links.
    void setPicture(const QPixmap& picture);

    const QUrl& address() const { return address_; }
    bool isHovered() const { return hovered_; }

signals:
    void activated(const QUrl& address);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showHover(bool hovered);

    QUrl address_;
    QColor color_;
    QColor hoverColor_;
    QPixmap picture_;
    bool hovered_ = false;
};

} // namespace korvel
