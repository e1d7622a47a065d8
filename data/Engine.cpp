#include "data/Engine.h"

namespace {
[[noreturn]] void NotYet()
{
    throw EEngineError(QStringLiteral("not implemented"));
}
} // namespace

struct TDataSet::TImpl {
    QString alias;
};

struct TSession::TImpl {
    bool active = false;
    QString netFileDir;
    QString privateDir;
};

TField::TField(TDataSet* dataSet, QString fieldName, TFieldType dataType)
    : m_dataSet(dataSet), m_fieldName(std::move(fieldName)), m_dataType(dataType)
{
}
bool TField::IsNull() const { return true; }
QVariant TField::Value() const { return {}; }
void TField::SetValue(const QVariant&) { NotYet(); }
void TField::Clear() { NotYet(); }
QString TField::DisplayText() const { return {}; }
void TField::SetText(const QString&) { NotYet(); }
QString TField::AsString() const { NotYet(); }
int TField::AsInteger() const { NotYet(); }

TDataSet::TDataSet(TSession* session, QObject* parent) : QObject(parent), d(new TImpl), m_session(session) {}
TDataSet::~TDataSet() = default;
void TDataSet::SetDatabaseName(const QString& alias) { d->alias = alias; }
QString TDataSet::DatabaseName() const { return d->alias; }
bool TDataSet::Active() const { return false; }
void TDataSet::SetActive(bool active)
{
    if (active)
        Open();
}
void TDataSet::Close() {}
TDataSetState TDataSet::State() const { return TDataSetState::Inactive; }
bool TDataSet::Modified() const { return false; }
bool TDataSet::IsEmpty() const { return true; }
void TDataSet::First() { NotYet(); }
void TDataSet::Prior() { NotYet(); }
void TDataSet::Next() { NotYet(); }
void TDataSet::Last() { NotYet(); }
bool TDataSet::Bof() const { return true; }
bool TDataSet::Eof() const { return true; }
bool TDataSet::AtFirst() const { return true; }
bool TDataSet::AtLast() const { return true; }
TField& TDataSet::FieldByName(const QString&) { NotYet(); }
const std::vector<std::unique_ptr<TField>>& TDataSet::Fields() const
{
    static const std::vector<std::unique_ptr<TField>> none;
    return none;
}
void TDataSet::UpdateRecord() {}

TQuery::TQuery(TSession* session, QObject* parent) : TDataSet(session, parent) {}
void TQuery::SetSQL(const QString&) {}
QString TQuery::SQL() const { return {}; }
void TQuery::ExecSQL() { NotYet(); }
void TQuery::Open() { NotYet(); }

TTable::TTable(TSession* session, QObject* parent) : TDataSet(session, parent) {}
void TTable::SetTableName(const QString&) {}
QString TTable::TableName() const { return {}; }
void TTable::Open() { NotYet(); }
void TTable::Append() { NotYet(); }
void TTable::Insert() { NotYet(); }
void TTable::Edit() { NotYet(); }
void TTable::Post() { NotYet(); }
void TTable::Cancel() { NotYet(); }
void TTable::Delete() { NotYet(); }

TDataSource::TDataSource(TDataSet* dataSet, QObject* parent) : QObject(parent), m_dataSet(dataSet) {}
TDataSource::~TDataSource() = default;
void TDataSource::AddUpdater(QObject* control, std::function<void()> updateData)
{
    m_updaters.emplace_back(control, std::move(updateData));
}

TSession::TSession(QObject* parent) : QObject(parent), d(new TImpl) {}
TSession::~TSession() = default;
bool TSession::Active() const { return d->active; }
void TSession::SetActive(bool active) { d->active = active; }
void TSession::SetNetFileDir(const QString& folder) { d->netFileDir = folder; }
QString TSession::NetFileDir() const { return d->netFileDir; }
void TSession::SetPrivateDir(const QString& folder) { d->privateDir = folder; }
QString TSession::PrivateDir() const { return d->privateDir; }
void TSession::DeleteAlias(const QString&) {}
void TSession::AddStandardAlias(const QString&, const QString&, const QString&) {}
QString TSession::AliasPath(const QString&) const { NotYet(); }
void TSession::AddPassword(const QString&) {}

namespace Engine {
void Start() {}
void Stop() {}
TDatabase::TDatabase(QString databaseName) : m_databaseName(std::move(databaseName)) {}
TDatabase::~TDatabase() = default;
void TDatabase::SetDriverName(const QString& driver) { m_driverName = driver; }
void TDatabase::SetParams(const QStringList& params) { m_params = params; }
void TDatabase::Open() { m_open = true; }
void TDatabase::Close() { m_open = false; }
QString TDatabase::Folder() const { return {}; }
void DoRestructure(TDatabase&, const TCrTblDesc&) { NotYet(); }
} // namespace Engine
