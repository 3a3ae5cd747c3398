#include "settings/live_settings.h"

#include <algorithm>

namespace korvel {

namespace {

constexpr int kDefaultColors[LiveSettings::ColorRows] = {
    LiveSettings::DefaultTrueColor,    LiveSettings::DefaultWrongColor,
    LiveSettings::DefaultChoisColor,   LiveSettings::DefaultLabelColor,
    LiveSettings::DefaultDefultColore,
};

// The value of a number field's text brought into range, or -1 when the text
// is not a whole number yet ("" or "-"). Long digit strings are simply too
// big, so they never overflow.
int clampedNumber(const QString& text) {
    if (text.isEmpty() || text == QLatin1String("-"))
        return -1;
    if (text.startsWith(QLatin1Char('-')))
        return LiveSettings::MinNumber;
    qsizetype first = 0;
    while (first < text.size() - 1 && text.at(first) == QLatin1Char('0'))
        ++first;
    const QStringView digits = QStringView(text).mid(first);
    if (digits.size() > 2)
        return LiveSettings::MaxNumber;
    return std::clamp(digits.toInt(), int(LiveSettings::MinNumber), int(LiveSettings::MaxNumber));
}

} // namespace

LiveSettings::LiveSettings(QObject* parent)
    : QObject(parent) {
    timeEkzSek_ = {QString::number(DefaultTimeEkzSek), DefaultTimeEkzSek};
    numBil_ = {QString::number(DefaultNumBil), DefaultNumBil};
    std::copy(std::begin(kDefaultColors), std::end(kDefaultColors), colors_);
}

bool LiveSettings::isNumberFieldText(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool leadingMinus = i == 0 && c == QLatin1Char('-');
        if (!leadingMinus && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return false;
    }
    return true;
}

bool LiveSettings::putNumberText(NumberField& field, const QString& text) {
    const int value = clampedNumber(text);
    const QString shown = value < 0 ? text : QString::number(value);
    if (shown == field.text)
        return false;
    field.text = shown;
    if (value >= 0)
        field.value = value;
    return true;
}

void LiveSettings::setTimeEkzSek(int minutes) {
    if (putNumberText(timeEkzSek_,
                      QString::number(std::clamp(minutes, int(MinNumber), int(MaxNumber)))))
        emit changed();
}

bool LiveSettings::setTimeEkzSekText(const QString& text) {
    if (!isNumberFieldText(text))
        return false;
    if (putNumberText(timeEkzSek_, text))
        emit changed();
    return true;
}

void LiveSettings::timeEkzSekExit() {
    if (timeEkzSek_.text.isEmpty())
        setTimeEkzSekText(QStringLiteral("1"));
}

void LiveSettings::setNumBilFieldText(const QString& text) {
    if (!putNumberText(numBil_, text))
        return;
    // The open base cannot give more tickets than it has; with none open the
    // field falls to its minimum.
    if (clampedNumber(numBil_.text) > 0 && ticketCount_ < numBil_.value)
        putNumberText(numBil_, QString::number(std::max(ticketCount_, int(MinNumber))));
    emit changed();
}

void LiveSettings::setNumBil(int tickets) {
    setNumBilFieldText(QString::number(std::clamp(tickets, int(MinNumber), int(MaxNumber))));
}

bool LiveSettings::setNumBilText(const QString& text) {
    if (!isNumberFieldText(text))
        return false;
    setNumBilFieldText(text);
    return true;
}

void LiveSettings::numBilExit() {
    if (numBil_.text.isEmpty())
        setNumBilText(QStringLiteral("1"));
}

void LiveSettings::setTicketCount(int count) {
    ticketCount_ = std::max(count, 0);
}

void LiveSettings::lowerNumBilToTicketCount() {
    if (ticketCount_ < numBil_.value)
        setNumBil(ticketCount_);
}

int LiveSettings::color(int row) const {
    return row >= 1 && row <= ColorRows ? colors_[row - 1] : 0;
}

void LiveSettings::setColor(int row, int colorRef) {
    if (row < 1 || row > ColorRows || colors_[row - 1] == colorRef)
        return;
    colors_[row - 1] = colorRef;
    emit changed();
}

void LiveSettings::setFlag(bool& flag, bool on) {
    if (flag == on)
        return;
    flag = on;
    emit changed();
}

void LiveSettings::setSoundOn(bool on) {
    setFlag(soundOn_, on);
}
void LiveSettings::setPEkzInfo(bool on) {
    setFlag(pEkzInfo_, on);
}
void LiveSettings::setEkzInfo(bool on) {
    setFlag(ekzInfo_, on);
}
void LiveSettings::setPEkzHelp(bool on) {
    setFlag(pEkzHelp_, on);
}
void LiveSettings::setTimeEkz(bool on) {
    setFlag(timeEkz_, on);
}
void LiveSettings::setTusEkz(bool on) {
    setFlag(tusEkz_, on);
}
void LiveSettings::setTusPod(bool on) {
    setFlag(tusPod_, on);
}

void LiveSettings::applyDefaultColors() {
    for (int row = 1; row <= ColorRows; ++row)
        setColor(row, kDefaultColors[row - 1]);
}

void LiveSettings::applyExamDefaults() {
    setTimeEkz(true);
    setTimeEkzSek(DefaultTimeEkzSek);
    setNumBil(DefaultNumBil);
    setEkzInfo(false);
    setTusEkz(false);
    setTusPod(false);
}

void LiveSettings::applyPreparationDefaults() {
    setPEkzInfo(true);
    setPEkzHelp(true);
}

void LiveSettings::applyOtherDefaults() {
    setSoundOn(true);
}

} // namespace korvel
