#pragma once

#include "sound/menu_descriptions.h"

#include <QFrame>
#include <QList>
#include <QRect>

class QLabel;

namespace korvel {

// One framed description panel of a menu page: a picture on the left and a
// word-wrapped, vertically centred text on the right.
class DescriptionPanelWidget final : public QFrame {
public:
    // picturePlace and textPlace are inside the panel.
    DescriptionPanelWidget(const DescriptionPanel& panel, const QRect& picturePlace,
                           const QRect& textPlace, QWidget* parent);

    const DescriptionPanel& description() const { return panel_; }

private:
    DescriptionPanel panel_;
};

// The description panels of one page, all in one place; exactly one is in
// front, the blank one at first.
class DescriptionPanels {
public:
    DescriptionPanels(const QList<DescriptionPanel>& panels, const QRect& place,
                      const QRect& picturePlace, const QRect& textPlace, QWidget* parent);

    // Brings the panel of that button to front; false when it has none.
    bool bringToFrontFor(const QString& buttonName);
    // The panel in front.
    QString frontPanel() const;

private:
    QList<DescriptionPanelWidget*> widgets_;
};

} // namespace korvel
