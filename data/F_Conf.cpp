#include "data/F_Conf.h"

#include "data/Engine.h"
#include "data/F_DB.h"
#include "data/Messages.h"
#include "settings/ZepDll.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>

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

int SuffissoConnessione(quint32 seed)
{
    return QRandomGenerator(seed).bounded(50);
}

namespace
{

// The file-name part of a table path: the text after its last '/', '\\' or ':'.
QString NomeFile(const QString& tablePath)
{
    const qsizetype separator =
        std::max({tablePath.lastIndexOf(QLatin1Char('/')), tablePath.lastIndexOf(QLatin1Char('\\')),
                  tablePath.lastIndexOf(QLatin1Char(':'))});
    return tablePath.mid(separator + 1);
}

// Stops the engine when the routine that started it ends, also by an error.
struct TEngineRun {
    TEngineRun() { Engine::Start(); }
    ~TEngineRun() { Engine::Stop(); }
    TEngineRun(const TEngineRun&) = delete;
    TEngineRun& operator=(const TEngineRun&) = delete;
};

} // namespace

void TFConf::CreaTabella(const QString& alias, const QString& tableName, const QString& columns)
{
    TQuery& query = *FDB->QGEN;
    query.Close();
    query.SetDatabaseName(alias);
    const QString text = QStringLiteral("CREATE TABLE ") + QLatin1Char('"') + tableName + columns;
    query.Close();
    query.SetSQL(text);
    query.ExecSQL();
    query.Close();
    ShowMessage(QStringLiteral("Archivio ") + tableName + QStringLiteral(" Creato"));
}

// The connection is declared after the engine run, so it is freed before the engine stops.
void TFConf::ProteggiTabella(const QString& tablePath, const QString& password, const QString& folder)
{
    const TEngineRun engine;
    const auto seed = static_cast<quint32>(QDateTime::currentMSecsSinceEpoch());
    Engine::TDatabase database(QStringLiteral("PDOXEncryptDB") + QString::number(SuffissoConnessione(seed)));
    database.SetDriverName(QStringLiteral("STANDARD"));
    database.SetParams({QStringLiteral("path=") + folder});
    database.Open();

    Engine::TCrTblDesc desc;
    desc.tableName = NomeFile(tablePath);
    desc.protectedFlag = 0xFFFF;
    desc.password = password;
    Engine::DoRestructure(database, desc);
}
