#pragma once

#include "tools/korvelbase/base_dump.h"

namespace korvel {

// Keeps everything dumpBase hands over, for tests to look at.
class DumpCollector : public DumpSink {
public:
    DumpedBase dumped;
    QList<DumpedQuestion> questions;
    bool finished = false;

    void base(const DumpedBase& base) override { dumped = base; }
    void question(const DumpedQuestion& question) override { questions << question; }
    void finish() override { finished = true; }
};

} // namespace korvel
