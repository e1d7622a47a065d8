#include "settings/ZepDll.h"

// The error types are thrown across the library boundary: their type information must be visible.
#pragma GCC visibility push(default)
#include "data/Errors.h"
#pragma GCC visibility pop

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace
{

QString TextOrEmpty(const char* text)
{
    return text ? QString::fromUtf8(text) : QString();
}

// A value name QSettings would read as a group path or cannot hold.
bool IsValueName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

// The stored entry names equal to name without regard to case, the exact spelling first.
QStringList MatchingNames(const QStringList& stored, const QString& name)
{
    QStringList found;
    for (const QString& entry : stored)
        if (entry == name)
            found.prepend(entry);
        else if (entry.compare(name, Qt::CaseInsensitive) == 0)
            found.append(entry);
    return found;
}

bool CanRead(const QString& fileName, const QSettings& settings)
{
    const QFileInfo info(fileName);
    return info.isFile() && info.isReadable() && settings.status() == QSettings::NoError;
}

// A person editing the file may write a comma in a value, which QSettings reads as a list: it is taken
// back as the text in its usual spelling. Any other non-string value has no text.
QString ValueText(const QVariant& value, const QString& name)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QStringList:
        return value.toStringList().join(QStringLiteral(", "));
    default:
        throw ERegistryError(QStringLiteral("Invalid data type for '%1'").arg(name));
    }
}

QString CutAtZero(const QString& text)
{
    const qsizetype zero = text.indexOf(QChar(u'\0'));
    return zero < 0 ? text : text.left(zero);
}

} // namespace

void ScriviReg(const char* key, const char* name, const char* value)
{
    try {
        TRegStore(TextOrEmpty(key)).Write(TextOrEmpty(name), TextOrEmpty(value));
    } catch (...) {
        // Failures are not reported to the caller: the next read shows what is really stored.
    }
}

TRegStore::TRegStore(const QString& key) : m_key(key) {}

// Every non-empty element of the key is a folder level, the last one the file. An element that could
// leave the configuration folder makes the key unusable (empty file name).
QString TRegStore::FileName() const
{
    const QStringList parts = m_key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString& part : parts)
        if (part == QLatin1String(".") || part == QLatin1String("..") || part.contains(QLatin1Char('/')))
            return {};
    if (parts.isEmpty())
        return {};
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (root.isEmpty())
        return {};
    return root + QLatin1Char('/') + parts.join(QLatin1Char('/')) + QStringLiteral(".ini");
}

QString TRegStore::Read(const QString& name) const
{
    const QString fileName = FileName();
    if (fileName.isEmpty() || !IsValueName(name) || !QFileInfo::exists(fileName))
        return {};
    // A fresh QSettings re-reads the file, so a change by another process is seen at once.
    const QSettings settings(fileName, QSettings::IniFormat);
    if (!CanRead(fileName, settings))
        throw ERegistryError(QStringLiteral("Failed to get data for '%1'").arg(name));
    const QStringList values = MatchingNames(settings.childKeys(), name);
    if (values.isEmpty()) {
        if (!MatchingNames(settings.childGroups(), name).isEmpty())
            throw ERegistryError(QStringLiteral("Invalid data type for '%1'").arg(name));
        return {};
    }
    return CutAtZero(ValueText(settings.value(values.first()), name));
}

// A file QSettings cannot read is never written: rewriting it would drop whatever it failed to parse.
bool TRegStore::Write(const QString& name, const QString& value) const
{
    const QString fileName = FileName();
    if (fileName.isEmpty() || !IsValueName(name) || !QDir().mkpath(QFileInfo(fileName).path()))
        return false;
    const bool existed = QFileInfo::exists(fileName);
    QSettings settings(fileName, QSettings::IniFormat);
    if ((existed && !CanRead(fileName, settings)) || !settings.isWritable())
        return false;
    for (const QString& old : MatchingNames(settings.childKeys(), name))
        settings.remove(old);
    settings.setValue(name, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}
