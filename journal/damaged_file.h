#pragma once

#include <QDateTime>
#include <QString>

namespace korvel {

// Moves a damaged journal out of the way beside itself, as
// "<name>.damaged-<yyyyMMdd-HHmmss>" (local time), with "-2", "-3" ... added
// when that name is taken, so an earlier one is never overwritten. Its
// write-ahead log goes with it (a stale log must not meet the new file) and
// its shared-memory index is dropped. Gives the new path, or empty when the
// file could not be moved.
QString moveDamagedFileAside(const QString& path, const QDateTime& now);

} // namespace korvel
