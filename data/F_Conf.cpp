#include "data/F_Conf.h"

#include "settings/ZepDll.h"

TFConf* FConf = nullptr;

const QString ChiaveReg = QStringLiteral("KORVANEX\\Sormelin\\");

const QString SchemaDiario = QStringLiteral(
    " \"( OrdNum AUTOINC, Data DATE, ORACont01 TIME, Val01 NUMERIC, ORACont02 TIME, Val02 NUMERIC, "
    "ORACont03 TIME, Val03 NUMERIC, ORACont04 TIME, Val04 NUMERIC, ORACont05 TIME, Val05 NUMERIC, "
    "ORACont06 TIME, Val06 NUMERIC, ORACont07 TIME, Val07 NUMERIC, ORACont08 TIME, Val08 NUMERIC, "
    "ORACont09 TIME, Val09 NUMERIC, ORACont10 TIME, Val10 NUMERIC, Note BLOB(1,1) )\"");

TFConf::TFConf(QObject* parent) : QObject(parent) {}

QString TFConf::LeggiReg(const QString& key, const QString& name) const
{
    return TRegStore(key).Read(name);
}

void TFConf::CreaTabella(const QString&, const QString&, const QString&) {}
void TFConf::ProteggiTabella(const QString&, const QString&, const QString&) {}
