#pragma once

// The program's binding of the settings library's write entry.

#include "settings/ZepDll.h"

#include <QByteArray>
#include <QString>

// Writes one setting through the library: the texts as UTF-8, an empty text as a null pointer.
inline void ScriviReg(const QString& key, const QString& name, const QString& value)
{
    const QByteArray k = key.toUtf8();
    const QByteArray n = name.toUtf8();
    const QByteArray v = value.toUtf8();
    ScriviReg(key.isEmpty() ? nullptr : k.constData(), name.isEmpty() ? nullptr : n.constData(),
              value.isEmpty() ? nullptr : v.constData());
}
