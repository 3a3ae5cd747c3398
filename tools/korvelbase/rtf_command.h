#pragma once

#include "command.h"

namespace korvel {

// korvelbase rtf FILE [--to text|html|rtf]: reads FILE as a question text
// (RTF or plain Windows-1251) and writes it to stdout as plain UTF-8 text,
// as HTML with the pictures inline, or as RTF through our writer.
int rtfCommand(CommandContext& context);

} // namespace korvel
