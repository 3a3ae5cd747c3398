#include "app/splash_window.h"

#include "app/widget_helpers.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMovie>

namespace korvel {

SplashWindow::SplashWindow(int tickMs, std::function<void()> onShown, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , onShown_(std::move(onShown)) {
    setObjectName(QStringLiteral("TForm5"));
    setModal(true);
    setFixedSize(546, 248);
    auto* picture = placed<QLabel>(this, QStringLiteral("Image1"), 0, 0, 546, 248);
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/splash.png")));
    picture->setScaledContents(true);
    // Three small animations in the dark band at the picture's lower left.
    for (int n = 1; n <= 3; ++n) {
        auto* animation = placed<QLabel>(this, QStringLiteral("Animate%1").arg(n),
                                         20 + 46 * (n - 1), 194, 40, 40);
        auto* movie = new QMovie(QStringLiteral(":/pictures/splash_anim%1.gif").arg(n),
                                 QByteArray(), animation);
        animation->setMovie(movie);
        animation->setScaledContents(true);
        animation->setAttribute(Qt::WA_TranslucentBackground);
    }
    auto* version = placed<QLabel>(this, QStringLiteral("Label1"), 330, 214, 200, 22,
                                   QStringLiteral("Версия 1.2.0"));
    version->setStyleSheet(
        QStringLiteral("color: white; font-family: 'Liberation Sans', Arial; font-weight: bold; "
                       "font-size: 15px; background: transparent;"));

    timer_.setInterval(tickMs);
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::tick);
}

void SplashWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    closing_ = false;
    if (onShown_)
        onShown_();
    counter_ = 0;
    ticks_ = 0;
    for (QMovie* movie : findChildren<QMovie*>())
        movie->start();
    timer_.start();
}

void SplashWindow::hideEvent(QHideEvent* event) {
    timer_.stop();
    for (QMovie* movie : findChildren<QMovie*>())
        movie->stop();
    QDialog::hideEvent(event);
}

void SplashWindow::tick() {
    ++ticks_;
    counter_ += Step;
    if (counter_ <= Limit)
        return;
    timer_.stop();
    closing_ = true;
    accept();
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    // The splash closes only by its timer, not by Escape.
    event->accept();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    if (closing_)
        event->accept();
    else
        event->ignore();
}

} // namespace korvel
