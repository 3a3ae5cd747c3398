#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

class QCheckBox;
class QLineEdit;
class QSettings;

namespace korvel {

class LiveSettings;
class MessageBoxes;

// The settings page "Setting": its controls edit the live settings directly
// and show them again whenever they change; "Применить" and "Ок" write the
// store. The page knows nothing of the main window: it asks for the main menu
// with mainMenuRequested().
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    // Gives the chosen colour, or an invalid colour when the user cancels.
    using ColorDialog =
        std::function<QColor(const QColor& initial, QWidget* parent, const QString& caption)>;

    SettingsPage(LiveSettings& live, std::function<QSettings&()> store, MessageBoxes& messages,
                 QWidget* parent = nullptr);

    // Tests answer the colour dialog through this; the default is the
    // platform's colour dialog.
    void setColorDialog(ColorDialog dialog) { colorDialog_ = std::move(dialog); }

signals:
    void mainMenuRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void connectControls();
    void draw();
    void SwatchColor();
    void ColorClick(int row);
    void spSkinButton7Click();
    void spSkinButton6Click();
    void spSkinButton11Click();

    LiveSettings& live_;
    std::function<QSettings&()> store_;
    MessageBoxes& messages_;
    ColorDialog colorDialog_;

    QLineEdit* timeEkzSek_ = nullptr;
    QLineEdit* numBil_ = nullptr;
    QLineEdit* colorFields_[5] = {};
    QLineEdit* swatches_[5] = {};
    QCheckBox* timeEkz_ = nullptr;
    QCheckBox* ekzInfo_ = nullptr;
    QCheckBox* vopRand1_ = nullptr;
    QCheckBox* pEkzInfo_ = nullptr;
    QCheckBox* vopRand_ = nullptr;
    QCheckBox* pEkzHelp_ = nullptr;
    QCheckBox* soundOn_ = nullptr;
};

} // namespace korvel
