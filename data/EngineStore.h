#pragma once

// Storage side of the table engine: one SQLCipher database per table file. The file holds the rows
// (TableRows, keyed by the stored order) and the column list (TableColumns), and carries our
// application id so a file that is not ours is refused before anything is written to it.

#include "data/Statement.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace EngineStore
{

// One column value as read from the file; text is kept raw and decoded only when asked for.
struct TCell {
    bool null = true;
    qint64 integer = 0;
    double real = 0;
    std::string text;
};

// A stored row: cell 0 is the row id, cell i + 1 the column i.
using TRow = std::vector<TCell>;

QVariant Decode(const TCell& cell, TFieldType type);

class TConnection;

// A prepared statement of one connection; its errors name the connection's file.
class TStmt
{
public:
    TStmt(const TConnection& connection, const QString& sql);
    ~TStmt();
    TStmt(const TStmt&) = delete;
    TStmt& operator=(const TStmt&) = delete;

    void Bind(int index, const QVariant& value, TFieldType type);
    bool Step(); // true on a row, false at the end; resets itself at the end so no read lock lingers
    void Reset();
    void ReadRow(const std::vector<TColumnDef>& columns, TRow& row) const;
    qint64 Integer(int column) const;

private:
    const TConnection& m_connection;
    sqlite3_stmt* m_stmt = nullptr;
};

// An open, checked table file. Opening tries the file plain, then with each known password.
class TConnection
{
public:
    static std::shared_ptr<TConnection> Open(const QString& path, const QStringList& passwords);
    // Takes over an already opened handle.
    TConnection(sqlite3* db, QString path, QString password, std::vector<TColumnDef> columns);
    ~TConnection();
    TConnection(const TConnection&) = delete;
    TConnection& operator=(const TConnection&) = delete;

    sqlite3* Handle() const { return m_db; }
    const QString& Path() const { return m_path; }
    const QString& Password() const { return m_password; }
    const std::vector<TColumnDef>& Columns() const { return m_columns; }
    // False once the file was removed or replaced since it was opened.
    bool SameFile() const;

    void Exec(const QString& sql) const;
    // Raises the engine error for a failed SQLite call on this file.
    [[noreturn]] void Fail(int rc, const QString& action) const;

private:
    sqlite3* m_db;
    QString m_path;
    QString m_password;
    std::vector<TColumnDef> m_columns;
    quint64 m_device = 0;
    quint64 m_inode = 0;
};

// BEGIN IMMEDIATE ... COMMIT; rolled back unless committed.
class TTransaction
{
public:
    explicit TTransaction(const TConnection& connection);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit();

private:
    const TConnection& m_connection;
    bool m_done = false;
};

// "name" quoted for SQLite; names come only from checked column lists.
QString QuotedName(const QString& name);
QString ColumnList(const std::vector<TColumnDef>& columns);
// Refuses bad, reserved, duplicate names and a second counter column.
void CheckColumns(const std::vector<TColumnDef>& columns);

// Removes the temporary copies of the table that a program which died while creating or protecting it
// left in its folder; a copy another program is still writing is kept. Opening a table does this.
void RemoveStaleTempFiles(const QString& tablePath);

// Creates a new table file; an existing file is an error and is never touched.
void CreateTableFile(const QString& path, const std::vector<TColumnDef>& columns);

// Rewrites the table encrypted with the password, through a temporary file renamed over the original.
// Opening it first removes the copies earlier runs left behind.
void ProtectTableFile(const QString& path, const QString& password, const QStringList& passwords);

} // namespace EngineStore
