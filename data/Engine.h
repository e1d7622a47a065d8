#pragma once

// The table engine: a session with aliases and passwords, datasets (query and navigational table) and
// the protection of a table file. Each table file is one SQLCipher database holding one table.

#include "data/Errors.h"

#include <QDate>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTime>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class TSession;
class TDataSet;
class TDataSource;

namespace Engine
{
class TDatabase;
struct TCrTblDesc;
void DoRestructure(TDatabase& database, const TCrTblDesc& desc);
} // namespace Engine

enum class TFieldType { AutoInc, Date, Time, Float, Memo };

enum class TDataSetState { Inactive, Browse, Edit, Insert };

// One column of a dataset's current row.
class TField
{
public:
    TField(TDataSet* dataSet, QString fieldName, TFieldType dataType);

    const QString& FieldName() const { return m_fieldName; }
    TFieldType DataType() const { return m_dataType; }
    TDataSet* DataSet() const { return m_dataSet; }

    bool IsNull() const;
    // QDate, QTime, double, QString or qint64; a null QVariant when the column is empty.
    QVariant Value() const;
    // Needs edit or insert state. A typed value of the column's kind is stored as it is; a QString is
    // read as a time, then a short date, then a number, else "Invalid value for field '%s'".
    void SetValue(const QVariant& value);
    void Clear();

    // The text a data-bound control shows, in the current locale; empty for a null column.
    QString DisplayText() const;
    // Text typed into a control; empty text empties the column. EConvertError with
    // "'%s' is not a valid time" / "'%s' is not a valid date" /
    // "'%s' is not a valid floating point value for field '%s'".
    void SetText(const QString& text);

    // Variant conversions of the value. A null value raises EVariantError
    // "Could not convert variant of type (Null) into type (String|Integer)"; AsInteger rounds half to
    // even and raises "Overflow while converting variant of type (Double) into type (Integer)".
    QString AsString() const;
    int AsInteger() const;

private:
    friend class TDataSet;
    TDataSet* m_dataSet;
    QString m_fieldName;
    TFieldType m_dataType;
    size_t m_index = 0; // position among the dataset's columns
};

// Base of the query and the table: state, current row, fields, navigation and change notification.
// The component name used in state-check errors is the QObject's objectName ("T_Nortav", "QGEN").
class TDataSet : public QObject
{
    Q_OBJECT
public:
    explicit TDataSet(TSession* session, QObject* parent = nullptr);
    ~TDataSet() override;

    TSession* Session() const { return m_session; }
    void SetDatabaseName(const QString& alias);
    QString DatabaseName() const;

    bool Active() const;
    void SetActive(bool active);
    virtual void Open() = 0;
    void Close();

    TDataSetState State() const;
    bool Modified() const;
    bool IsEmpty() const;

    void First();
    void Prior();
    void Next();
    void Last();
    bool Bof() const;     // true after First/opening, or a Prior that found no row before
    bool Eof() const;     // true after a Next that found no row after, or Last; always on an empty dataset
    bool AtFirst() const; // the current row has no row before it (or the dataset is empty)
    bool AtLast() const;  // the current row has no row after it (or the dataset is empty)

    // Columns are matched without regard to case; an unknown name raises "<name>: Field 'x' not found".
    TField& FieldByName(const QString& name);
    const std::vector<std::unique_ptr<TField>>& Fields() const;

    // Hands every control's pending text to the row (the data sources' updaters); Post calls it first.
    void UpdateRecord();

signals:
    void StateChanged(); // opened, closed, entered or left edit/insert
    void DataChanged();  // current row moved or reloaded, or a field value changed

protected:
    struct TImpl;
    std::unique_ptr<TImpl> d;

private:
    friend class TField;
    friend class TDataSource;
    friend class TSession;
    TSession* m_session;
    std::vector<TDataSource*> m_sources;
};

// General query: one statement of the engine's dialect at a time.
class TQuery : public TDataSet
{
    Q_OBJECT
public:
    explicit TQuery(TSession* session, QObject* parent = nullptr);

    // Replaces the statement text with this one line.
    void SetSQL(const QString& text);
    QString SQL() const;
    // Runs a statement without rows (CREATE TABLE).
    void ExecSQL();
    // Runs a statement with rows (SELECT) and goes to its first row.
    void Open() override;
};

// Navigational table over one table file of the alias's folder, paged in stored order.
class TTable : public TDataSet
{
    Q_OBJECT
public:
    explicit TTable(TSession* session, QObject* parent = nullptr);

    void SetTableName(const QString& fileName);
    QString TableName() const;

    void Open() override; // opens at the first row

    void Append(); // posts or drops a pending row, then starts a new row at the end
    void Insert();
    void Edit(); // no-op while editing; on an empty table starts an insert
    void Post(); // stores the row durably; on failure the row stays pending
    void Cancel();
    void Delete(); // deletes the current row at once; while inserting discards the new row
};

// Links a dataset to the data-bound controls and the navigator that observe it.
class TDataSource : public QObject
{
    Q_OBJECT
public:
    explicit TDataSource(TDataSet* dataSet, QObject* parent = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return m_dataSet; }
    // A control registers how it hands its pending text to the row; removed when the control dies.
    void AddUpdater(QObject* control, std::function<void()> updateData);

signals:
    void StateChanged();
    void DataChanged();

private:
    friend class TDataSet;
    TDataSet* m_dataSet;
    std::vector<std::pair<QObject*, std::function<void()>>> m_updaters;
};

// The engine session: aliases, passwords, folders, and the open table files.
class TSession : public QObject
{
    Q_OBJECT
public:
    explicit TSession(QObject* parent = nullptr);
    ~TSession() override;

    bool Active() const;
    void SetActive(bool active);
    // Kept while inactive and applied at the next start.
    void SetNetFileDir(const QString& folder);
    QString NetFileDir() const;
    void SetPrivateDir(const QString& folder);
    QString PrivateDir() const;

    // Alias and password calls start an inactive session.
    void DeleteAlias(const QString& name); // a missing alias is no error
    void AddStandardAlias(const QString& name, const QString& path, const QString& defaultDriver);
    QString AliasPath(const QString& name) const; // unknown alias: engine error
    void AddPassword(const QString& password);

private:
    friend class TDataSet;
    friend class TQuery;
    friend class TTable;
    friend void Engine::DoRestructure(Engine::TDatabase& database, const Engine::TCrTblDesc& desc);
    struct TImpl;
    std::unique_ptr<TImpl> d;
};

// Restructure: the engine-level calls that put a password on an existing table file.
namespace Engine
{

// Engine life: Start/Stop nest; a failed start raises
// "An error occurred while attempting to initialize the database engine (error $%.4x)".
void Start();
void Stop();

// A private connection to a folder, named by the caller, with driver "STANDARD" and "path=<folder>".
class TDatabase
{
public:
    explicit TDatabase(QString databaseName);
    ~TDatabase();
    void SetDriverName(const QString& driver);
    void SetParams(const QStringList& params);
    void Open();
    void Close();
    bool IsOpen() const { return m_open; }
    QString DatabaseName() const { return m_databaseName; }
    QString Folder() const;

private:
    QString m_databaseName;
    QString m_driverName;
    QStringList m_params;
    bool m_open = false;
};

// One table descriptor of a restructure.
struct TCrTblDesc {
    QString tableName;         // file name inside the connection's folder
    quint16 protectedFlag = 0; // 0xFFFF: put the password on the table
    QString password;
};

// Rewrites the table through a temporary file and an atomic rename; columns, rows and order unchanged.
void DoRestructure(TDatabase& database, const TCrTblDesc& desc);

} // namespace Engine
