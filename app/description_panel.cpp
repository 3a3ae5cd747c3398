#include "app/description_panel.h"

#include <QLabel>
#include <QPixmap>

namespace korvel {

DescriptionPanelWidget::DescriptionPanelWidget(const DescriptionPanel& panel,
                                               const QRect& picturePlace, const QRect& textPlace,
                                               QWidget* parent)
    : QFrame(parent)
    , panel_(panel) {
    setObjectName(panel.panelName);
    setProperty("descriptionPanel", true);
    setFrameShape(QFrame::StyledPanel);
    if (!panel.pictureName.isEmpty()) {
        auto* picture = new QLabel(this);
        picture->setObjectName(panel.pictureName);
        picture->setGeometry(picturePlace);
        picture->setScaledContents(true);
        picture->setPixmap(QPixmap(panel.picture));
    }
    if (!panel.labelName.isEmpty()) {
        auto* text = new QLabel(panel.text, this);
        text->setObjectName(panel.labelName);
        text->setGeometry(textPlace);
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        text->setAttribute(Qt::WA_TranslucentBackground);
        text->setProperty("descriptionText", true);
    }
}

DescriptionPanels::DescriptionPanels(const QList<DescriptionPanel>& panels, const QRect& place,
                                     const QRect& picturePlace, const QRect& textPlace,
                                     QWidget* parent) {
    const QString blank = blankDescription(panels).panelName;
    for (const DescriptionPanel& panel : panels) {
        auto* widget = new DescriptionPanelWidget(panel, picturePlace, textPlace, parent);
        widget->setGeometry(place);
        widget->setVisible(panel.panelName == blank);
        widgets_.append(widget);
    }
}

bool DescriptionPanels::bringToFrontFor(const QString& buttonName) {
    DescriptionPanelWidget* front = nullptr;
    for (DescriptionPanelWidget* widget : widgets_) {
        if (widget->description().buttonNames.contains(buttonName))
            front = widget;
    }
    if (!front)
        return false;
    for (DescriptionPanelWidget* widget : widgets_)
        widget->setVisible(widget == front);
    front->raise();
    return true;
}

QString DescriptionPanels::frontPanel() const {
    for (DescriptionPanelWidget* widget : widgets_) {
        if (widget->isVisibleTo(widget->parentWidget()))
            return widget->objectName();
    }
    return {};
}

} // namespace korvel
