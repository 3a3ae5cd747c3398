#include "key_value_file.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>

namespace korvel {

namespace {

bool isKeyCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}

bool isValidName(const QString& name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), isKeyCharacter);
}

} // namespace

QString decodeUtf8(const QByteArray& bytes, const QString& fileName) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        throw SourceError(fileName + QStringLiteral(": not UTF-8 text (save it as UTF-8)"));
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString readUtf8File(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw SourceError(path + QStringLiteral(": cannot read: ") + file.errorString());
    return decodeUtf8(file.readAll(), path);
}

QList<KeyValueEntry> parseKeyValueFile(const QByteArray& utf8, const QString& fileName) {
    const QString text = decodeUtf8(utf8, fileName);
    QList<KeyValueEntry> entries;
    QString section;
    bool continuable = false; // the previous line was a value that may go on
    bool startsValue = false; // the value so far is an empty "Key =" line
    int lineNumber = 0;
    auto fail = [&](const QString& message) {
        throw SourceError(QStringLiteral("%1:%2: %3").arg(fileName).arg(lineNumber).arg(message));
    };

    for (QString line : text.split(u'\n')) {
        ++lineNumber;
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            continuable = false;
            continue;
        }
        if (line[0].isSpace()) {
            if (!continuable)
                fail(
                    QStringLiteral("an indented line continues a value, but no value is above it"));
            // "Key =" followed by indented lines starts the value on the first of them.
            if (!startsValue)
                entries.last().value += u'\n';
            startsValue = false;
            if (trimmed != u".")
                entries.last().value += trimmed;
            continue;
        }
        continuable = false;
        if (line[0] == u'#')
            continue;
        if (line[0] == u'[') {
            if (!trimmed.endsWith(u']'))
                fail(QStringLiteral("a section line must look like [Section]"));
            section = trimmed.mid(1, trimmed.size() - 2).trimmed();
            if (!isValidName(section))
                fail(QStringLiteral("section name '%1' must be letters, digits or _").arg(section));
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            fail(QStringLiteral("expected 'Key = value', [Section] or a # comment"));
        const QString key = line.left(equals).trimmed();
        if (!isValidName(key))
            fail(QStringLiteral("key '%1' must be letters, digits or _").arg(key));
        for (const KeyValueEntry& entry : entries) {
            if (entry.section == section && entry.key == key)
                fail(QStringLiteral("%1 is given twice (first at line %2)")
                         .arg(key)
                         .arg(entry.line));
        }
        entries.append({section, key, line.mid(equals + 1).trimmed(), lineNumber});
        continuable = true;
        startsValue = entries.last().value.isEmpty();
    }
    return entries;
}

} // namespace korvel
