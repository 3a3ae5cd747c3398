#pragma once

#include <QStringList>
#include <memory>
#include <optional>

class QSettings;
class QVariant;

namespace korvel {

class LiveSettings;
class MessageBoxes;

// The fourteen values in the settings key: 32-bit integers, yes/no as 1 or 0,
// at the top level of the store.
//
// The program hands in the per-user store, QSettings(NativeFormat, UserScope,
// "ZamtorSoft", "KorvelTest"). It reads each value from the per-user layer
// first and falls back to the per-machine one (/etc/xdg/ZamtorSoft/KorvelTest.conf,
// or HKEY_LOCAL_MACHINE), value by value. store() writes the per-machine layer
// when it can be written (and drops the per-user copies of what it wrote, so
// they cannot hide it), otherwise the per-user one
// ($XDG_CONFIG_HOME/ZamtorSoft/KorvelTest.conf, or HKEY_CURRENT_USER): an
// ordinary user keeps settings that only an administrator could write into
// the per-machine store. A store on one file (tests) is a single layer.

// Value names in the order the load reads them.
const QStringList& settingsLoadOrder();
// Value names in the order the store writes them.
const QStringList& settingsStoreOrder();

// Reads every stored value into the live settings; a missing value (or a key
// that cannot be read) leaves the default. A value that is not a 32-bit
// integer is reported ("Invalid data type for '...'"), the later values keep
// their defaults and the result is false: the caller stops its first-showing
// steps.
bool load(LiveSettings& live, QSettings& store, MessageBoxes& messages);

// Writes all fourteen values. False after a reported failure: neither layer
// can be written ("Failed to set data for 'PEkzInfo'", nothing written) or
// a number field whose text is not an integer ("'-' is not a valid integer
// value"; the values before it stay written).
bool store(const LiveSettings& live, QSettings& store, MessageBoxes& messages);

// A stored value as a 32-bit integer: a registry number, or a decimal text
// and nothing else; nullopt for anything else.
std::optional<int> storedInt32(const QVariant& value);

// The per-machine layer behind a per-user store (same format, organisation
// and application, system scope); nullptr for a store on one file.
std::unique_ptr<QSettings> machineLayer(const QSettings& store);

} // namespace korvel
