#include "app/main_menu_page.h"

#include "app/hover_watcher.h"
#include "app/widget_helpers.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace korvel {

MainMenuPage::MainMenuPage(QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("MainPanel"));
    setProperty("page", true);
    resize(745, 553);
    hover_ = new HoverWatcher(this);
    connect(hover_, &HoverWatcher::entered, this, &MainMenuPage::buttonEntered);

    addButton(QStringLiteral("spSkinButton12"), 16, QStringLiteral("ЭКЗАМЕН"),
              QStringLiteral("Экзаменационное тестирование"))
        ->setEnabled(false);
    addButton(QStringLiteral("spSkinButton10"), 64, QStringLiteral("Подготовка к экзамену"),
              QStringLiteral("Подготовка к экзаменационному тестированию"))
        ->setEnabled(false);
    addButton(QStringLiteral("reload"), 112, QStringLiteral("Открыть базу..."),
              QStringLiteral("Открыть базу билетов"));
    addButton(QStringLiteral("Settings"), 160, QStringLiteral("Настройки..."),
              QStringLiteral("Настройки программы"));
    addButton(QStringLiteral("Spravka"), 416, QStringLiteral("Справка"),
              QStringLiteral("Справка к Korvel TEST"));
    addButton(QStringLiteral("spSkinButton16"), 464, QStringLiteral("О программе"),
              QStringLiteral("О программе Korvel TEST"));
    addButton(QStringLiteral("spSkinButton17"), 512, QStringLiteral("Выход"),
              QStringLiteral("Выйти из программы"));

    descriptions_ =
        std::make_unique<DescriptionPanels>(mainMenuDescriptions(), QRect(176, 16, 561, 273),
                                            QRect(8, 40, 329, 193), QRect(344, 8, 201, 257), this);

    auto* group = placed<QGroupBox>(this, QStringLiteral("spSkinGroupBox11"), 176, 296, 561, 241,
                                    QStringLiteral("Подробная информация о выбранной базе."));
    image5_ = placed<QLabel>(group, QStringLiteral("Image5"), 8, 32, 305, 193);
    image5_->setScaledContents(true);
    descript1_ = placed<QPlainTextEdit>(group, QStringLiteral("descript1"), 320, 32, 217, 193);
    descript1_->setReadOnly(true);
    descript1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

MainMenuPage::~MainMenuPage() = default;

QPushButton* MainMenuPage::addButton(const QString& name, int top, const QString& caption,
                                     const QString& toolTip) {
    auto* button = placed<QPushButton>(this, name, 8, top, 153, 25, caption);
    button->setToolTip(toolTip);
    button->setProperty("menuButton", true);
    hover_->watch(button);
    return button;
}

QPushButton* MainMenuPage::button(const QString& name) const {
    return findChild<QPushButton*>(name, Qt::FindDirectChildrenOnly);
}

} // namespace korvel
