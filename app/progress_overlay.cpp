#include "app/progress_overlay.h"

#include "app/widget_helpers.h"

#include <QLabel>
#include <QProgressBar>

namespace korvel {

ProgressOverlay::ProgressOverlay(QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("MesShow"));
    setFrameShape(QFrame::StyledPanel);
    resize(Width, Height);
    auto* label = placed<QLabel>(this, QStringLiteral("spSkinLabel4"), 24, 16, 377, 17,
                                 QStringLiteral("Пожалуйста ждите..."));
    label->setAlignment(Qt::AlignCenter);
    gauge_ = placed<QProgressBar>(this, QStringLiteral("ProgressBar"), 24, 40, 377, 20);
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setTextVisible(false);
    hide();
}

} // namespace korvel
