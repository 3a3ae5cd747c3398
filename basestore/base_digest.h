#pragma once

#include <QString>

namespace korvel {

// What a run's base_sha256 holds: the SHA-256 of the base archive file, in
// lower-case hex; empty when the file cannot be read.
QString baseArchiveSha256(const QString& path);

} // namespace korvel
