#pragma once

// The settings library: one per-user INI store per settings key, read and written through QSettings.

#include <QString>
#include <QtGlobal>

#if defined(ZEPDLL_BUILD)
#define ZEPDLL_EXPORT Q_DECL_EXPORT
#else
#define ZEPDLL_EXPORT Q_DECL_IMPORT
#endif

extern "C" {
// Writes one string value: key path, value name, value, each zero-terminated UTF-8 (null = empty text).
// Errors are not reported: the next read returns what is really stored.
ZEPDLL_EXPORT void ScriviReg(const char* key, const char* name, const char* value);
}

// The store behind a settings key such as "KORVANEX\Sormelin\": names compared without regard to case.
class ZEPDLL_EXPORT TRegStore {
public:
    explicit TRegStore(const QString& key);

    // The INI file of the key under the per-user configuration folder.
    QString FileName() const;

    // Empty text for a missing file, key or value; cut at the first zero character. Raises
    // ERegistryError "Invalid data type for '%s'" or "Failed to get data for '%s'".
    QString Read(const QString& name) const;
    // Replaces the entry whatever the case of its stored name. Returns false when nothing was stored.
    bool Write(const QString& name, const QString& value) const;

private:
    QString m_key;
};
