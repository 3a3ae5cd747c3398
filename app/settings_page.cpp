#include "app/settings_page.h"

#include "settings/color_ref.h"
#include "settings/live_settings.h"
#include "settings/settings_store.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QValidator>
#include <algorithm>

namespace korvel {

namespace {

constexpr int kColorRowTops[LiveSettings::ColorRows] = {32, 56, 80, 104, 128};
const char* const kColorLabels[LiveSettings::ColorRows] = {"Правельный", "Неправельный",
                                                           "Выбранный", "Отмеченный", "Текущий"};

// Digits and one leading minus sign; the range is the live settings' business.
class NumberFieldValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        return LiveSettings::isNumberFieldText(input) ? Acceptable : Invalid;
    }
};

QGroupBox* group(const QString& title, QWidget* parent, QRect geometry) {
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(geometry);
    return box;
}

QLabel* label(const QString& text, QWidget* parent, QRect geometry) {
    auto* shown = new QLabel(text, parent);
    shown->setGeometry(geometry);
    return shown;
}

// A check box is as wide as its caption needs (with room to spare, the skin's
// font may differ) but stays inside its group and clear of the buttons below.
QCheckBox* checkBox(const char* name, const QString& text, QWidget* parent, QPoint at) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    const int wanted = box->fontMetrics().horizontalAdvance(text) + 40;
    box->setGeometry(at.x(), at.y(), std::min(wanted, parent->width() - at.x() - 8), 20);
    return box;
}

QPushButton* button(const char* name, const QString& text, QWidget* parent, QRect geometry) {
    auto* pressed = new QPushButton(text, parent);
    pressed->setObjectName(QLatin1String(name));
    pressed->setGeometry(geometry);
    return pressed;
}

QLineEdit* numberField(const char* name, QWidget* parent, QRect geometry) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(geometry);
    field->setValidator(new NumberFieldValidator(field));
    return field;
}

// Programmatic changes must not echo back into the live settings, and an
// unchanged text keeps the cursor where the user left it.
void showText(QLineEdit* field, const QString& text) {
    if (field->text() == text)
        return;
    const QSignalBlocker blocker(field);
    field->setText(text);
}

void showChecked(QCheckBox* box, bool on) {
    const QSignalBlocker blocker(box);
    box->setChecked(on);
}

QColor toColor(int colorRef) {
    const ColorRgb rgb = colorRefToRgb(colorRef);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

} // namespace

SettingsPage::SettingsPage(LiveSettings& live, std::function<QSettings&()> store,
                           MessageBoxes& messages, QWidget* parent)
    : QWidget(parent)
    , live_(live)
    , store_(std::move(store))
    , messages_(messages)
    , colorDialog_([](const QColor& initial, QWidget* owner, const QString& caption) {
        return QColorDialog::getColor(initial, owner, caption);
    }) {
    setObjectName(QStringLiteral("Setting"));
    setAttribute(Qt::WA_StyledBackground);
    setFixedSize(745, 545);
    build();
    connectControls();
    connect(&live_, &LiveSettings::changed, this, &SettingsPage::draw);
    draw();
}

void SettingsPage::build() {
    auto* basic = group(QStringLiteral("Основные Настройки"), this, {8, 8, 729, 241});

    auto* exam = group(QStringLiteral("Экзамен"), basic, {8, 24, 337, 209});
    timeEkz_ = checkBox("TimeEkz", QStringLiteral("Включить  экзамен за время"), exam, {56, 32});
    label(QStringLiteral("Время на Экзамен в минутах:"), exam, {56, 64, 172, 20});
    timeEkzSek_ = numberField("TimeEkzSek", exam, {232, 64, 25, 20});
    label(QStringLiteral("Билетов на Экзамен:"), exam, {56, 96, 172, 20});
    numBil_ = numberField("NumBil", exam, {232, 96, 25, 20});
    ekzInfo_ = checkBox("EkzInfo", QStringLiteral("Показать кнопку информации"), exam, {56, 128});
    vopRand1_ = checkBox("VopRand1", QStringLiteral("Тасовать ответы"), exam, {56, 160});
    auto* defultEkz =
        button("DefultEkz", QStringLiteral("По умолчанию"), exam, {216, 176, 105, 25});

    auto* preparation = group(QStringLiteral("Подготовка к Экзамену"), basic, {352, 24, 369, 209});
    pEkzInfo_ =
        checkBox("PEkzInfo", QStringLiteral("Показать кнопку информации"), preparation, {104, 64});
    // Never shown: only its "По умолчанию" and the store change it.
    pEkzHelp_ =
        checkBox("PEkzHelp", QStringLiteral("Показать кнопку помощи"), preparation, {104, 88});
    pEkzHelp_->hide();
    vopRand_ = checkBox("VopRand", QStringLiteral("Тасовать ответы"), preparation, {104, 88});
    auto* defultPEkz =
        button("DefultPEkz", QStringLiteral("По умолчанию"), preparation, {248, 176, 105, 25});

    auto* extra = group(QStringLiteral("Дополнительные настройки"), this, {8, 256, 729, 233});

    auto* colors = group(QStringLiteral("Цветовая панель"), extra, {8, 24, 337, 201});
    for (int row = 1; row <= LiveSettings::ColorRows; ++row) {
        const int top = kColorRowTops[row - 1];
        label(QString::fromUtf8(kColorLabels[row - 1]), colors, {16, top, 81, 21});

        auto* field = new QLineEdit(colors);
        field->setObjectName(QStringLiteral("NumericEdit%1").arg(row));
        field->setGeometry(112, top, 81, 20);
        field->setReadOnly(true);
        colorFields_[row - 1] = field;

        auto* swatch = new QLineEdit(colors);
        swatch->setObjectName(QStringLiteral("WC%1").arg(row));
        swatch->setGeometry(200, top, 17, 21);
        swatch->setReadOnly(true);
        swatch->setFrame(false);
        swatch->setEnabled(false);
        swatches_[row - 1] = swatch;

        auto* change = button(QStringLiteral("Color%1").arg(row).toLatin1().constData(),
                              QStringLiteral("Сменить цвет"), colors, {232, top, 89, 25});
        connect(change, &QPushButton::clicked, this, [this, row] { ColorClick(row); });
    }
    auto* defaultColor =
        button("DefaultColor", QStringLiteral("По умолчанию"), colors, {216, 168, 105, 25});

    auto* other = group(QStringLiteral("Другие настройки"), extra, {352, 24, 369, 201});
    soundOn_ = checkBox("spSkinCheckRadioBox1", QStringLiteral("Включить звуки"), other, {104, 96});
    auto* otherDefaults =
        button("spSkinButton19", QStringLiteral("По умолчанию"), other, {248, 168, 105, 25});

    auto* apply = button("spSkinButton7", QStringLiteral("Применить"), this, {472, 504, 75, 25});
    auto* ok = button("spSkinButton6", QStringLiteral("Ок"), this, {568, 504, 75, 25});
    auto* cancel = button("spSkinButton11", QStringLiteral("Отмена"), this, {664, 504, 75, 25});

    connect(defultEkz, &QPushButton::clicked, &live_, &LiveSettings::applyExamDefaults);
    connect(defultPEkz, &QPushButton::clicked, &live_, &LiveSettings::applyPreparationDefaults);
    connect(defaultColor, &QPushButton::clicked, &live_, &LiveSettings::applyDefaultColors);
    connect(otherDefaults, &QPushButton::clicked, &live_, &LiveSettings::applyOtherDefaults);
    connect(apply, &QPushButton::clicked, this, &SettingsPage::spSkinButton7Click);
    connect(ok, &QPushButton::clicked, this, &SettingsPage::spSkinButton6Click);
    connect(cancel, &QPushButton::clicked, this, &SettingsPage::spSkinButton11Click);
}

void SettingsPage::connectControls() {
    connect(timeEkzSek_, &QLineEdit::textEdited, &live_, &LiveSettings::setTimeEkzSekText);
    connect(numBil_, &QLineEdit::textEdited, &live_, &LiveSettings::setNumBilText);
    timeEkzSek_->installEventFilter(this);
    numBil_->installEventFilter(this);

    const std::pair<QCheckBox*, void (LiveSettings::*)(bool)> boxes[] = {
        {timeEkz_, &LiveSettings::setTimeEkz}, {ekzInfo_, &LiveSettings::setEkzInfo},
        {vopRand1_, &LiveSettings::setTusEkz}, {pEkzInfo_, &LiveSettings::setPEkzInfo},
        {vopRand_, &LiveSettings::setTusPod},  {pEkzHelp_, &LiveSettings::setPEkzHelp},
        {soundOn_, &LiveSettings::setSoundOn},
    };
    for (const auto& [box, set] : boxes)
        connect(box, &QCheckBox::toggled, &live_, set);
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
    // TimeEkzSekExit serves both number fields.
    if (event->type() == QEvent::FocusOut) {
        if (watched == timeEkzSek_)
            live_.timeEkzSekExit();
        else if (watched == numBil_)
            live_.numBilExit();
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsPage::draw() {
    showText(timeEkzSek_, live_.timeEkzSekText());
    showText(numBil_, live_.numBilText());
    showChecked(timeEkz_, live_.timeEkz());
    showChecked(ekzInfo_, live_.ekzInfo());
    showChecked(vopRand1_, live_.tusEkz());
    showChecked(pEkzInfo_, live_.pEkzInfo());
    showChecked(vopRand_, live_.tusPod());
    showChecked(pEkzHelp_, live_.pEkzHelp());
    showChecked(soundOn_, live_.soundOn());
    for (int row = 1; row <= LiveSettings::ColorRows; ++row)
        showText(colorFields_[row - 1], QString::number(live_.color(row)));
    SwatchColor();
}

void SettingsPage::SwatchColor() {
    // The swatch's own sheet beats the skin's, which styles disabled edits grey.
    for (int row = 1; row <= LiveSettings::ColorRows; ++row) {
        const QString sheet = QStringLiteral("QLineEdit { background-color: %1; }")
                                  .arg(toColor(live_.color(row)).name());
        if (swatches_[row - 1]->styleSheet() != sheet)
            swatches_[row - 1]->setStyleSheet(sheet);
    }
}

void SettingsPage::ColorClick(int row) {
    const QColor chosen =
        colorDialog_(toColor(live_.color(row)), window(), QStringLiteral("Set color"));
    if (chosen.isValid())
        live_.setColor(row, colorRefFromRgb(chosen.red(), chosen.green(), chosen.blue()));
}

void SettingsPage::spSkinButton7Click() {
    store(live_, store_(), messages_);
}

void SettingsPage::spSkinButton6Click() {
    if (store(live_, store_(), messages_))
        emit mainMenuRequested();
}

void SettingsPage::spSkinButton11Click() {
    emit mainMenuRequested();
}

} // namespace korvel
