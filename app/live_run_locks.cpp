#include "app/live_run_locks.h"

#include <QLockFile>

namespace korvel {

namespace {
// Only a dead holder makes a lock stale: an exam runs far longer than any
// age limit would allow.
std::unique_ptr<QLockFile> lockFile(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    lock->setStaleLockTime(0);
    return lock;
}
} // namespace

LiveRunLocks::LiveRunLocks(QString journalPath)
    : journalPath_(std::move(journalPath)) {}

LiveRunLocks::~LiveRunLocks() = default;

QString LiveRunLocks::lockPath(const QString& runId) const {
    return journalPath_ + QStringLiteral(".run-") + runId + QStringLiteral(".lock");
}

void LiveRunLocks::hold(const QString& runId) {
    if (runId.isEmpty() || held_.count(runId))
        return;
    // A folder where no lock can be made leaves the run unmarked, as it was
    // before there were locks.
    std::unique_ptr<QLockFile> lock = lockFile(lockPath(runId));
    if (lock->tryLock(0))
        held_.emplace(runId, std::move(lock));
}

void LiveRunLocks::release(const QString& runId) {
    held_.erase(runId);
}

bool LiveRunLocks::heldElsewhere(const QString& runId) const {
    if (held_.count(runId))
        return false;
    std::unique_ptr<QLockFile> probe = lockFile(lockPath(runId));
    if (probe->tryLock(0))
        return false; // unlocks and removes the file on the way out
    return probe->error() == QLockFile::LockFailedError;
}

} // namespace korvel
