#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>

namespace korvel {

// The start-up window TForm5: borderless, 546 x 248, picture, three small
// animations and the version label. Shown modally; its timer adds 5 to the
// counter every tick and closes it on the tick where the counter passes 100.
class SplashWindow final : public QDialog {
public:
    static constexpr int Step = 5;
    static constexpr int Limit = 100;

    // onShown runs each time the window is shown (the start-up sound).
    SplashWindow(int tickMs, std::function<void()> onShown, QWidget* parent = nullptr);

    int counter() const { return counter_; }
    int ticks() const { return ticks_; }
    const QTimer& timer() const { return timer_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void tick();

    std::function<void()> onShown_;
    QTimer timer_;
    int counter_ = 0;
    int ticks_ = 0;
    bool closing_ = false;
};

} // namespace korvel
