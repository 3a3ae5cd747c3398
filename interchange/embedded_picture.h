#pragma once

#include "question_bank.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace korvel {

// The bytes a picture source names inside the bank file; nullopt when the
// file does not hold it.
using PictureResolver = std::function<std::optional<QByteArray>(const QString& source)>;

// Sets the question's text to the HTML without its <img> tags and its
// picture to the first one the file holds (a data: URI, or what `resolve`
// finds); every other picture is a warning. Gives the file names of the
// sources it looked at, percent-decoded.
QStringList moveImagesToPicture(BankQuestion& question, const QString& html,
                                const PictureResolver& resolve, QStringList& warnings);

} // namespace korvel
