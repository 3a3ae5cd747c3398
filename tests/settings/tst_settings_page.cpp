#include "app/settings_page.h"
#include "platform/message_boxes.h"
#include "settings/live_settings.h"
#include "settings/settings_store.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using korvel::LiveSettings;
using korvel::ScriptedMessageBoxes;
using korvel::SettingsPage;

class TestSettingsPage : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void showsTheDefaults();
    void loadedColorsReachTheSwatches();
    void typingIntoNumBil_data();
    void typingIntoNumBil();
    void leavingAnEmptyField();
    void checkBoxesAreTheLiveSettings();
    void defaultButtons();
    void colorDialog();
    void okStoresAndAsksForTheMenu();
    void applyStoresAndStays();
    void cancelKeepsChangesUnstored();
    void failedStoreKeepsThePage();

private:
    template <typename T>
    T* control(const char* name) {
        auto* found = page_->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void click(const char* name) { QTest::mouseClick(control<QPushButton>(name), Qt::LeftButton); }
    QColor swatchColor(int row);
    QString storedValue(const char* name);

    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<QSettings> store_;
    std::unique_ptr<LiveSettings> live_;
    ScriptedMessageBoxes boxes_;
    std::unique_ptr<SettingsPage> page_;
};

void TestSettingsPage::init() {
    path_ = dir_.filePath(QStringLiteral("%1.ini").arg(QTest::currentTestFunction()));
    QFile::remove(path_);
    store_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    live_ = std::make_unique<LiveSettings>();
    boxes_.clear();
    page_ = std::make_unique<SettingsPage>(
        *live_, [this]() -> QSettings& { return *store_; }, boxes_);
    page_->setColorDialog([](const QColor&, QWidget*, const QString&) {
        qFatal("unexpected colour dialog");
        return QColor();
    });
    page_->show();
    QVERIFY(QTest::qWaitForWindowExposed(page_.get()));
}

void TestSettingsPage::cleanup() {
    page_.reset();
    live_.reset();
    store_.reset();
}

QColor TestSettingsPage::swatchColor(int row) {
    auto* swatch = page_->findChild<QLineEdit*>(QStringLiteral("WC%1").arg(row));
    const QImage image = swatch->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QString TestSettingsPage::storedValue(const char* name) {
    store_->sync();
    return QSettings(path_, QSettings::IniFormat).value(QLatin1String(name)).toString();
}

void TestSettingsPage::layout_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // empty size: only the position is fixed

    const auto row = [](const char* name, QRect geometry) {
        QTest::newRow(name) << QString::fromLatin1(name) << geometry;
    };
    row("TimeEkz", {56, 32, 0, 0});
    row("TimeEkzSek", {232, 64, 25, 20});
    row("NumBil", {232, 96, 25, 20});
    row("EkzInfo", {56, 128, 0, 0});
    row("VopRand1", {56, 160, 0, 0});
    row("DefultEkz", {216, 176, 105, 25});
    row("PEkzInfo", {104, 64, 0, 0});
    row("VopRand", {104, 88, 0, 0});
    row("PEkzHelp", {104, 88, 0, 0});
    row("DefultPEkz", {248, 176, 105, 25});
    const int tops[] = {32, 56, 80, 104, 128};
    for (int n = 1; n <= 5; ++n) {
        const int top = tops[n - 1];
        QTest::addRow("NumericEdit%d", n)
            << QStringLiteral("NumericEdit%1").arg(n) << QRect(112, top, 81, 20);
        QTest::addRow("WC%d", n) << QStringLiteral("WC%1").arg(n) << QRect(200, top, 17, 21);
        QTest::addRow("Color%d", n) << QStringLiteral("Color%1").arg(n) << QRect(232, top, 89, 25);
    }
    row("DefaultColor", {216, 168, 105, 25});
    row("spSkinCheckRadioBox1", {104, 96, 0, 0});
    row("spSkinButton19", {248, 168, 105, 25});
    row("spSkinButton7", {472, 504, 75, 25});
    row("spSkinButton6", {568, 504, 75, 25});
    row("spSkinButton11", {664, 504, 75, 25});
}

void TestSettingsPage::layout() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);

    QCOMPARE(page_->objectName(), QStringLiteral("Setting"));
    QCOMPARE(page_->size(), QSize(745, 545));
    auto* widget = page_->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->pos(), geometry.topLeft());
    if (!geometry.size().isEmpty())
        QCOMPARE(widget->size(), geometry.size());
    else
        QVERIFY(widget->x() + widget->width() <= widget->parentWidget()->width());
    // No field or check box lies under a button, or a click near its edge would
    // reach the wrong control. (The colour buttons' rows touch by design.)
    if (!qobject_cast<QPushButton*>(widget)) {
        const auto buttons =
            widget->parentWidget()->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly);
        for (auto* button : buttons)
            QVERIFY2(!button->geometry().intersects(widget->geometry()),
                     qPrintable(button->objectName()));
    }
    QCOMPARE(widget->isVisibleTo(page_.get()), name != QLatin1String("PEkzHelp"));
}

void TestSettingsPage::showsTheDefaults() {
    QCOMPARE(control<QLineEdit>("TimeEkzSek")->text(), QStringLiteral("10"));
    QCOMPARE(control<QLineEdit>("NumBil")->text(), QStringLiteral("3"));
    const QStringList colors = {"13303754", "8421631", "13303600", "16772810", "16508074"};
    const QColor swatches[] = {
        {202, 255, 202}, {255, 128, 128}, {48, 255, 202}, {202, 238, 255}, {170, 228, 251}};
    for (int n = 1; n <= 5; ++n) {
        auto* field = page_->findChild<QLineEdit*>(QStringLiteral("NumericEdit%1").arg(n));
        QCOMPARE(field->text(), colors[n - 1]);
        QVERIFY(field->isReadOnly());
        QCOMPARE(swatchColor(n), swatches[n - 1]);
        QVERIFY(!page_->findChild<QLineEdit*>(QStringLiteral("WC%1").arg(n))->isEnabled());
    }
    QVERIFY(control<QCheckBox>("TimeEkz")->isChecked());
    QVERIFY(!control<QCheckBox>("EkzInfo")->isChecked());
    QVERIFY(!control<QCheckBox>("VopRand1")->isChecked());
    QVERIFY(control<QCheckBox>("PEkzInfo")->isChecked());
    QVERIFY(!control<QCheckBox>("VopRand")->isChecked());
    QVERIFY(control<QCheckBox>("PEkzHelp")->isChecked());
    QVERIFY(control<QCheckBox>("spSkinCheckRadioBox1")->isChecked());
    QCOMPARE(control<QCheckBox>("TimeEkz")->text(), QStringLiteral("Включить  экзамен за время"));
    QVERIFY(page_->findChildren<QLabel*>().size() >= 7);
    QStringList titles;
    for (auto* box : page_->findChildren<QGroupBox*>())
        titles.append(box->title());
    QStringList expected = {"Основные Настройки",       "Экзамен",         "Подготовка к Экзамену",
                            "Дополнительные настройки", "Цветовая панель", "Другие настройки"};
    titles.sort();
    expected.sort();
    QCOMPARE(titles, expected);
}

void TestSettingsPage::loadedColorsReachTheSwatches() {
    store_->setValue("TrueColor", 255);         // red
    store_->setValue("DefultColore", 16711680); // blue
    store_->setValue("NumBil", 15);
    store_->sync();
    live_->setTicketCount(8);
    QVERIFY(korvel::load(*live_, *store_, boxes_));
    QCOMPARE(control<QLineEdit>("NumericEdit1")->text(), QStringLiteral("255"));
    QCOMPARE(swatchColor(1), QColor(255, 0, 0));
    QCOMPARE(swatchColor(5), QColor(0, 0, 255));
    QCOMPARE(swatchColor(2), QColor(255, 128, 128));
    QCOMPARE(control<QLineEdit>("NumBil")->text(), QStringLiteral("8"));
}

void TestSettingsPage::typingIntoNumBil_data() {
    QTest::addColumn<int>("tickets");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("15 of 8 tickets") << 8 << "15"
                                     << "8";
    QTest::newRow("letters refused") << 1000 << "1x2"
                                     << "12";
    QTest::newRow("second minus refused") << 1000 << "--"
                                          << "-";
}

void TestSettingsPage::typingIntoNumBil() {
    QFETCH(int, tickets);
    QFETCH(QString, typed);
    QFETCH(QString, shown);

    live_->setTicketCount(tickets);
    auto* field = control<QLineEdit>("NumBil");
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, typed);
    QCOMPARE(field->text(), shown);
    QCOMPARE(live_->numBilText(), shown);
}

void TestSettingsPage::leavingAnEmptyField() {
    page_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page_.get()));
    for (const char* name : {"TimeEkzSek", "NumBil"}) {
        auto* field = control<QLineEdit>(name);
        field->setFocus();
        QVERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QCOMPARE(field->text(), QString());
        control<QCheckBox>("TimeEkz")->setFocus();
        QCOMPARE(field->text(), QStringLiteral("1"));
    }
    QCOMPARE(live_->timeEkzSek(), 1);
    QCOMPARE(live_->numBil(), 1);
}

void TestSettingsPage::checkBoxesAreTheLiveSettings() {
    const std::pair<const char*, bool (LiveSettings::*)() const> boxes[] = {
        {"TimeEkz", &LiveSettings::timeEkz}, {"EkzInfo", &LiveSettings::ekzInfo},
        {"VopRand1", &LiveSettings::tusEkz}, {"PEkzInfo", &LiveSettings::pEkzInfo},
        {"VopRand", &LiveSettings::tusPod},  {"spSkinCheckRadioBox1", &LiveSettings::soundOn},
    };
    for (const auto& [name, get] : boxes) {
        auto* box = control<QCheckBox>(name);
        const bool before = box->isChecked();
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
        QCOMPARE(((*live_).*get)(), !before);
    }
    // And back: a change elsewhere (an exam start lowering NumBil) shows at once.
    live_->setTicketCount(2);
    live_->lowerNumBilToTicketCount();
    QCOMPARE(control<QLineEdit>("NumBil")->text(), QStringLiteral("2"));
    live_->setPEkzHelp(false);
    QVERIFY(!control<QCheckBox>("PEkzHelp")->isChecked());
}

void TestSettingsPage::defaultButtons() {
    live_->setTusPod(true);
    live_->setTusEkz(true);
    live_->setPEkzHelp(false);
    live_->setSoundOn(false);
    live_->setColor(3, 0);

    click("DefultPEkz");
    QVERIFY(control<QCheckBox>("PEkzHelp")->isChecked());
    QVERIFY(control<QCheckBox>("VopRand")->isChecked());

    click("DefultEkz");
    QVERIFY(!control<QCheckBox>("VopRand1")->isChecked());
    QVERIFY(!control<QCheckBox>("VopRand")->isChecked());

    click("spSkinButton19");
    QVERIFY(control<QCheckBox>("spSkinCheckRadioBox1")->isChecked());

    QCOMPARE(swatchColor(3), QColor(0, 0, 0));
    click("DefaultColor");
    QCOMPARE(control<QLineEdit>("NumericEdit3")->text(), QStringLiteral("13303600"));
    QCOMPARE(swatchColor(3), QColor(48, 255, 202));
    QVERIFY(boxes_.shown().isEmpty());
}

void TestSettingsPage::colorDialog() {
    QColor initial;
    QString caption;
    QColor answer;
    page_->setColorDialog([&](const QColor& from, QWidget*, const QString& title) {
        initial = from;
        caption = title;
        return answer;
    });

    click("Color2"); // cancelled
    QCOMPARE(caption, QStringLiteral("Set color"));
    QCOMPARE(initial, QColor(255, 128, 128));
    QCOMPARE(live_->color(2), 8421631);

    answer = QColor(1, 2, 3);
    click("Color4");
    QCOMPARE(initial, QColor(202, 238, 255));
    QCOMPARE(control<QLineEdit>("NumericEdit4")->text(), QString::number(0x030201));
    QCOMPARE(live_->labelColor(), 0x030201);
    QCOMPARE(swatchColor(4), QColor(1, 2, 3));

    click("Color4"); // starts from the colour just chosen
    QCOMPARE(initial, QColor(1, 2, 3));
}

void TestSettingsPage::okStoresAndAsksForTheMenu() {
    QSignalSpy menu(page_.get(), &SettingsPage::mainMenuRequested);
    live_->setColor(1, 77);
    click("spSkinButton6");
    QCOMPARE(menu.count(), 1);
    QCOMPARE(storedValue("TrueColor"), QStringLiteral("77"));
    QCOMPARE(storedValue("TimeEkzSek"), QStringLiteral("10"));
    QVERIFY(boxes_.shown().isEmpty());
}

void TestSettingsPage::applyStoresAndStays() {
    QSignalSpy menu(page_.get(), &SettingsPage::mainMenuRequested);
    live_->setSoundOn(false);
    click("spSkinButton7");
    QCOMPARE(menu.count(), 0);
    QCOMPARE(storedValue("SoundOn"), QStringLiteral("0"));
    QCOMPARE(QSettings(path_, QSettings::IniFormat).allKeys().size(), 14);
}

void TestSettingsPage::cancelKeepsChangesUnstored() {
    QSignalSpy menu(page_.get(), &SettingsPage::mainMenuRequested);
    page_->setColorDialog([](const QColor&, QWidget*, const QString&) { return QColor(9, 9, 9); });
    click("Color1");
    click("spSkinButton11");
    QCOMPARE(menu.count(), 1);
    QCOMPARE(live_->trueColor(), 0x090909); // in effect for this run
    QVERIFY(!QFile::exists(path_));

    LiveSettings nextStart;
    QVERIFY(korvel::load(nextStart, *store_, boxes_));
    QCOMPARE(nextStart.trueColor(), 13303754);
}

void TestSettingsPage::failedStoreKeepsThePage() {
    QSignalSpy menu(page_.get(), &SettingsPage::mainMenuRequested);
    live_->setNumBilText(QStringLiteral("-"));
    click("spSkinButton6");
    QCOMPARE(menu.count(), 0);
    QCOMPARE(boxes_.shown().size(), 1);
    QCOMPARE(boxes_.shown().first().text, QStringLiteral("'-' is not a valid integer value"));
    QCOMPARE(control<QLineEdit>("NumBil")->text(), QStringLiteral("-"));

    boxes_.clear();
    const QString blocker = path_ + QStringLiteral(".file");
    QFile(blocker).open(QIODevice::WriteOnly);
    store_ = std::make_unique<QSettings>(blocker + QStringLiteral("/x.ini"), QSettings::IniFormat);
    live_->setNumBil(4);
    click("spSkinButton6");
    QCOMPARE(menu.count(), 0);
    QCOMPARE(boxes_.shown().size(), 1);
    QCOMPARE(boxes_.shown().first().text, QStringLiteral("Failed to set data for 'PEkzInfo'"));
}

QTEST_MAIN(TestSettingsPage)
#include "tst_settings_page.moc"
