#pragma once

// The engine's statement dialect: parsed here into plain structures, never passed on as SQL text.

#include "data/Engine.h"

#include <QDate>
#include <QString>

#include <variant>
#include <vector>

struct TColumnDef {
    QString name;
    TFieldType type;
};

// CREATE TABLE "<file name>"( <name> <type>, ... )
struct TCreateTable {
    QString fileName; // as the file system names it: trailing blanks dropped
    std::vector<TColumnDef> columns;
};

// One comparison of a WHERE clause: <column> <op> <literal>, joined by AND.
struct TCondition {
    QString column;
    QString op;      // "=", "<>", "<", "<=", ">", ">="
    QString literal; // the literal's text without its quotes
    bool quoted = false;
};

// SELECT * FROM <file name> [WHERE cond [AND cond]...] [ORDER BY <column> [ASC|DESC]]
struct TSelect {
    QString fileName;
    std::vector<TCondition> where;
    QString orderBy; // empty: stored order
    bool descending = false;
};

using TStatement = std::variant<TCreateTable, TSelect>;

// Raises EEngineError naming what it could not read.
TStatement ParseStatement(const QString& text);

// A date literal month/day/year; '/', '.' or '-' separate the parts and blanks inside a part are
// ignored. Anything that is not a real date raises EEngineError naming the literal.
QDate ParseDateLiteral(const QString& literal);
