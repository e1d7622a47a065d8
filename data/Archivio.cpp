#include "data/Archivio.h"

#include "data/EngineStore.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "data/Messages.h"
#include "settings/Registro.h"

#include <QFileInfo>

namespace Archivio
{

QString Leggi(const QString& name)
{
    return FConf->LeggiReg(ChiaveReg, name);
}

void Scrivi(const QString& name, const QString& value)
{
    ScriviReg(ChiaveReg, name, value);
}

bool AnnoValido(const QString& anno)
{
    return !anno.isEmpty() && anno != QLatin1String(".") && anno != QLatin1String("..") &&
           !anno.contains(QLatin1Char('/'));
}

QString CartellaAnno(const QString& anno)
{
    return Leggi(QStringLiteral("PathDatiGen")) + anno + QLatin1Char('/');
}

bool EsisteCartella(const QString& cartella)
{
    return !cartella.isEmpty() && QFileInfo(cartella).isDir();
}

void PuntaAlias(const QString& cartella)
{
    const QString alias = Leggi(QStringLiteral("AliasDB"));
    FDB->Session1->DeleteAlias(alias);
    FDB->Session1->AddStandardAlias(alias, cartella, QStringLiteral("PARADOX"));
    FDB->Session1->SetActive(true);
}

bool CreaTabellaAssente(const QString& cartella, const QString& messaggio)
{
    const QString tabella = cartella + Leggi(QStringLiteral("DBNortav"));
    EngineStore::RemoveStaleTempFiles(tabella); // copies left by a program that died while writing it
    if (QFileInfo(tabella).isFile())
        return false;
    ShowMessage(messaggio);
    FConf->CreaTabella(Leggi(QStringLiteral("AliasDB")), Leggi(QStringLiteral("DBNortav")), SchemaDiario);
    return true;
}

void Rilega()
{
    FDB->QGEN->Close();
    FDB->QGEN->SetDatabaseName(Leggi(QStringLiteral("AliasDB")));
    FDB->T_Nortav->Close();
    FDB->T_Nortav->SetDatabaseName(Leggi(QStringLiteral("AliasDB")));
    FDB->T_Nortav->SetTableName(Leggi(QStringLiteral("DBNortav")));
}

} // namespace Archivio
