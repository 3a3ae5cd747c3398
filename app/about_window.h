#pragma once

#include <QDialog>
#include <QUrl>

namespace korvel {

// The About window TForm6: borderless, 400 x 176, modal. A click anywhere
// but on its two links closes it.
class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);

signals:
    void linkActivated(const QUrl& address);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace korvel
