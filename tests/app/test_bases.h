#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>

namespace korvel::testing {

// A record container (section, key, value) as the program reads it.
QByteArray container(const QList<std::tuple<QByteArray, QByteArray, QByteArray>>& records);

// base.dni with Name, Descript, Vop and Bil; texts are given in UTF-8 and
// stored in Windows-1251 with CR LF, as base authors' tools write them.
QByteArray descriptor(const QString& name, const QString& descript, const QByteArray& vop,
                      const QByteArray& bil);

// Writes a ZIP archive with these entries (names as given, e.g. "Skin\\main.jpg").
void writeArchive(const QString& path, const QMap<QString, QByteArray>& entries);

// A small JPEG picture.
QByteArray jpegPicture(int width = 64, int height = 32);

} // namespace korvel::testing
