#pragma once

#include <QFrame>

class QProgressBar;

namespace korvel {

// The progress overlay MesShow, laid over the page while something takes time.
class ProgressOverlay final : public QFrame {
public:
    static constexpr int Width = 425;
    static constexpr int Height = 73;

    explicit ProgressOverlay(QWidget* parent = nullptr);

    QProgressBar* gauge() const { return gauge_; }

private:
    QProgressBar* gauge_ = nullptr;
};

} // namespace korvel
