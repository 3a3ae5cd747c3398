#pragma once

#include <QStringList>

class QSettings;

namespace korvel {

class LiveSettings;
class MessageBoxes;

// The fourteen values in the settings key: 32-bit integers, yes/no as 1 or 0.
// The program hands in QSettings(NativeFormat, SystemScope, "ZamtorSoft",
// "KorvelTest"); the values sit at its top level.

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

// Writes all fourteen values. False after a reported failure: a store that
// cannot be written ("Failed to set data for 'PEkzInfo'", nothing written) or
// a number field whose text is not an integer ("'-' is not a valid integer
// value"; the values before it stay written).
bool store(const LiveSettings& live, QSettings& store, MessageBoxes& messages);

} // namespace korvel
