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

    addMenuButton(this, *hover_, QStringLiteral("spSkinButton12"), 16, 153,
                  QStringLiteral("ЭКЗАМЕН"), QStringLiteral("Экзаменационное тестирование"))
        ->setEnabled(false);
    addMenuButton(this, *hover_, QStringLiteral("spSkinButton10"), 64, 153,
                  QStringLiteral("Подготовка к экзамену"),
                  QStringLiteral("Подготовка к экзаменационному тестированию"))
        ->setEnabled(false);
    addMenuButton(this, *hover_, QStringLiteral("reload"), 112, 153,
                  QStringLiteral("Открыть базу..."), QStringLiteral("Открыть базу билетов"));
    addMenuButton(this, *hover_, QStringLiteral("Settings"), 160, 153,
                  QStringLiteral("Настройки..."), QStringLiteral("Настройки программы"));
    addMenuButton(this, *hover_, QStringLiteral("Spravka"), 416, 153, QStringLiteral("Справка"),
                  QStringLiteral("Справка к Korvel TEST"));
    addMenuButton(this, *hover_, QStringLiteral("spSkinButton16"), 464, 153,
                  QStringLiteral("О программе"), QStringLiteral("О программе Korvel TEST"));
    addMenuButton(this, *hover_, QStringLiteral("spSkinButton17"), 512, 153,
                  QStringLiteral("Выход"), QStringLiteral("Выйти из программы"));

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

QPushButton* MainMenuPage::button(const QString& name) const {
    return findChild<QPushButton*>(name, Qt::FindDirectChildrenOnly);
}

} // namespace korvel
