#include "settings/ZepDll.h"

void ScriviReg(const char*, const char*, const char*) {}

TRegStore::TRegStore(const QString& key) : m_key(key) {}
QString TRegStore::FileName() const { return {}; }
QString TRegStore::Read(const QString&) const { return {}; }
bool TRegStore::Write(const QString&, const QString&) const { return false; }
