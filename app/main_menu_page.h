#pragma once

#include "app/description_panel.h"

#include <QFrame>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace korvel {

class HoverWatcher;

// The main menu MainPanel: the mode and menu buttons, the description panels
// and the open base's picture and description.
class MainMenuPage final : public QFrame {
    Q_OBJECT
public:
    explicit MainMenuPage(QWidget* parent = nullptr);
    ~MainMenuPage() override;

    QPushButton* button(const QString& name) const;
    QLabel* picture() const { return image5_; }
    QPlainTextEdit* description() const { return descript1_; }
    DescriptionPanels& descriptions() { return *descriptions_; }

signals:
    void buttonEntered(const QString& name);

private:
    HoverWatcher* hover_ = nullptr;
    std::unique_ptr<DescriptionPanels> descriptions_;
    QLabel* image5_ = nullptr;
    QPlainTextEdit* descript1_ = nullptr;
};

} // namespace korvel
