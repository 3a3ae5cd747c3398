#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace korvel {

// One framed description panel of a menu page: shown while the pointer is over
// one of its buttons, picture on the left and text on the right.
struct DescriptionPanel {
    QString panelName;       // "spSkinPanel6"
    QStringList buttonNames; // {"spSkinButton12"}
    QString picture;         // Qt resource path of the picture ("" for the blank panel)
    QString pictureName;     // "Image2" ("" for none)
    QString labelName;       // "RxLabel2" ("" for none)
    QString text;            // exact text ("" for none)
};

// The main menu MainPanel and the results page Analiz; the blank panel of each
// page is the one shown at first.
const QList<DescriptionPanel>& mainMenuDescriptions();
const QList<DescriptionPanel>& resultsDescriptions();

// The panel that a button brings to front, nullptr when the button has none.
const DescriptionPanel* descriptionForButton(const QList<DescriptionPanel>& panels,
                                             const QString& buttonName);
// The blank frame of a page (no picture, no text).
const DescriptionPanel& blankDescription(const QList<DescriptionPanel>& panels);

} // namespace korvel
