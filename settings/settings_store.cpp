#include "settings/settings_store.h"

#include "platform/message_boxes.h"
#include "settings/live_settings.h"

#include <QSettings>
#include <QVariant>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

namespace korvel {

namespace {

// A decimal 32-bit integer and nothing else: no blanks, no plus sign, no
// other base.
std::optional<int> parseInt32(const QString& text) {
    const bool negative = text.startsWith(QLatin1Char('-'));
    const QStringView digits = QStringView(text).mid(negative ? 1 : 0);
    if (digits.isEmpty())
        return std::nullopt;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = QStringView(text).toLongLong(&ok);
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

struct LoadedValue {
    const char* name;
    std::function<void(LiveSettings&, int)> apply;
};

const QList<LoadedValue>& loadedValues() {
    static const QList<LoadedValue> values = {
        {"TimeEkzSek", [](LiveSettings& s, int v) { s.setTimeEkzSek(v); }},
        {"NumBil", [](LiveSettings& s, int v) { s.setNumBil(v); }},
        {"TrueColor", [](LiveSettings& s, int v) { s.setColor(1, v); }},
        {"WrongColor", [](LiveSettings& s, int v) { s.setColor(2, v); }},
        {"ChoisColor", [](LiveSettings& s, int v) { s.setColor(3, v); }},
        {"LabelColor", [](LiveSettings& s, int v) { s.setColor(4, v); }},
        {"DefultColore", [](LiveSettings& s, int v) { s.setColor(5, v); }},
        {"SoundOn", [](LiveSettings& s, int v) { s.setSoundOn(v != 0); }},
        {"PEkzInfo", [](LiveSettings& s, int v) { s.setPEkzInfo(v != 0); }},
        {"EkzInfo", [](LiveSettings& s, int v) { s.setEkzInfo(v != 0); }},
        {"PEkzHelp", [](LiveSettings& s, int v) { s.setPEkzHelp(v != 0); }},
        {"TimeEkz", [](LiveSettings& s, int v) { s.setTimeEkz(v != 0); }},
        {"TusEkz", [](LiveSettings& s, int v) { s.setTusEkz(v != 0); }},
        {"TusPod", [](LiveSettings& s, int v) { s.setTusPod(v != 0); }},
    };
    return values;
}

struct StoredFlag {
    const char* name;
    bool (LiveSettings::*get)() const;
};

const QList<StoredFlag>& storedFlags() {
    static const QList<StoredFlag> flags = {
        {"PEkzInfo", &LiveSettings::pEkzInfo}, {"EkzInfo", &LiveSettings::ekzInfo},
        {"PEkzHelp", &LiveSettings::pEkzHelp}, {"TimeEkz", &LiveSettings::timeEkz},
        {"TusEkz", &LiveSettings::tusEkz},     {"TusPod", &LiveSettings::tusPod},
        {"SoundOn", &LiveSettings::soundOn},
    };
    return flags;
}

// Integers are written from the text the user sees, as typed.
struct StoredNumber {
    const char* name;
    std::function<QString(const LiveSettings&)> text;
};

const QList<StoredNumber>& storedNumbers() {
    static const QList<StoredNumber> numbers = {
        {"TimeEkzSek", [](const LiveSettings& s) { return s.timeEkzSekText(); }},
        {"NumBil", [](const LiveSettings& s) { return s.numBilText(); }},
        {"TrueColor", [](const LiveSettings& s) { return QString::number(s.color(1)); }},
        {"WrongColor", [](const LiveSettings& s) { return QString::number(s.color(2)); }},
        {"ChoisColor", [](const LiveSettings& s) { return QString::number(s.color(3)); }},
        {"LabelColor", [](const LiveSettings& s) { return QString::number(s.color(4)); }},
        {"DefultColore", [](const LiveSettings& s) { return QString::number(s.color(5)); }},
    };
    return numbers;
}

QString failedToSet() {
    return QStringLiteral("Failed to set data for '%1'")
        .arg(QLatin1String(storedFlags().first().name));
}

// Removes the names from the per-user layer itself (not its fallbacks).
bool dropUserValues(QSettings& user, const QStringList& names) {
    user.setFallbacksEnabled(false);
    bool removed = false;
    for (const QString& name : names) {
        if (user.contains(name)) {
            user.remove(name);
            removed = true;
        }
    }
    user.setFallbacksEnabled(true);
    if (!removed)
        return true;
    user.sync();
    return user.status() == QSettings::NoError;
}

} // namespace

// The registry gives a 32-bit number as int (or its unsigned twin); a
// configuration file gives text.
std::optional<int> storedInt32(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::UInt:
        return int(value.toUInt());
    case QMetaType::QString:
        return parseInt32(value.toString());
    default:
        return std::nullopt;
    }
}

const QStringList& settingsLoadOrder() {
    static const QStringList names = [] {
        QStringList list;
        for (const LoadedValue& value : loadedValues())
            list.append(QLatin1String(value.name));
        return list;
    }();
    return names;
}

const QStringList& settingsStoreOrder() {
    static const QStringList names = [] {
        QStringList list;
        for (const StoredFlag& flag : storedFlags())
            list.append(QLatin1String(flag.name));
        for (const StoredNumber& number : storedNumbers())
            list.append(QLatin1String(number.name));
        return list;
    }();
    return names;
}

bool load(LiveSettings& live, QSettings& store, MessageBoxes& messages) {
    // Pick up what is on disk now, not what was there when the object was made.
    store.sync();
    if (store.status() != QSettings::NoError)
        return true;
    for (const LoadedValue& value : loadedValues()) {
        const QString name = QLatin1String(value.name);
        if (!store.contains(name))
            continue;
        const std::optional<int> number = storedInt32(store.value(name));
        if (!number) {
            messages.error(QStringLiteral("Invalid data type for '%1'").arg(name));
            return false;
        }
        value.apply(live, *number);
    }
    return true;
}

bool store(const LiveSettings& live, QSettings& store, MessageBoxes& messages) {
    const std::unique_ptr<QSettings> machine = machineLayer(store);
    QSettings& target = machine && machine->isWritable() ? *machine : store;
    if (!target.isWritable()) {
        messages.error(failedToSet());
        return false;
    }
    QStringList written;
    for (const StoredFlag& flag : storedFlags()) {
        target.setValue(QLatin1String(flag.name), (live.*flag.get)() ? 1 : 0);
        written.append(QLatin1String(flag.name));
    }
    bool complete = true;
    for (const StoredNumber& number : storedNumbers()) {
        const QString text = number.text(live);
        const std::optional<int> value = parseInt32(text);
        if (!value) {
            messages.error(QStringLiteral("'%1' is not a valid integer value").arg(text));
            complete = false;
            break;
        }
        target.setValue(QLatin1String(number.name), *value);
        written.append(QLatin1String(number.name));
    }
    target.sync();
    bool kept = target.status() == QSettings::NoError;
    // A per-user copy of a value would hide the per-machine one just written.
    if (kept && &target != &store)
        kept = dropUserValues(store, written);
    if (!kept) {
        // The file is replaced as a whole, so a failed write left none of it.
        if (complete)
            messages.error(failedToSet());
        return false;
    }
    return complete;
}

std::unique_ptr<QSettings> machineLayer(const QSettings& store) {
    if (store.scope() != QSettings::UserScope || store.organizationName().isEmpty() ||
        !store.fallbacksEnabled())
        return nullptr;
    return std::make_unique<QSettings>(store.format(), QSettings::SystemScope,
                                       store.organizationName(), store.applicationName());
}

} // namespace korvel
