// Paging and range-query cost of the table engine at 100 and at 100,000 rows.
// The rows are added with the sqlcipher shell in one transaction; the engine then only reads.

#include "data/Engine.h"
#include "data/F_Conf.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

void Fill(const QString& path, int rows)
{
    QProcess shell;
    shell.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), path});
    shell.waitForStarted();
    shell.write(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                               "INSERT INTO TableRows (Data, ORACont01, Val01, Val02, Val03, Val04, Val05) "
                               "SELECT date('2010-01-01', '+' || (i % 365) || ' days'), '07:00:00', i, i, i, i, i "
                               "FROM n;\n")
                    .arg(rows)
                    .toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(-1);
}

void Measure(int rows)
{
    QTemporaryDir dir;
    TSession session;
    session.AddStandardAlias(QStringLiteral("B"), dir.path(), QStringLiteral("PARADOX"));
    TQuery query(&session);
    query.SetDatabaseName(QStringLiteral("B"));
    query.SetSQL(QStringLiteral("CREATE TABLE \"Nortav.DB") + SchemaDiario);
    query.ExecSQL();
    Fill(dir.path() + QStringLiteral("/Nortav.DB"), rows);

    QTextStream out(stdout);
    TTable table(&session);
    table.SetDatabaseName(QStringLiteral("B"));
    table.SetTableName(QStringLiteral("Nortav.DB"));
    QElapsedTimer timer;
    timer.start();
    table.Open();
    const qint64 open = timer.nsecsElapsed();
    timer.restart();
    for (int i = 0; i < 1000; ++i) {
        table.Next();
        table.AtLast();
    }
    const qint64 next = timer.nsecsElapsed() / 1000;
    timer.restart();
    table.Last();
    const qint64 last = timer.nsecsElapsed();

    query.SetSQL(QStringLiteral("SELECT * FROM Nortav.DB WHERE DATA>=\"01/01/2010\" AND DATA<=\"12/31/2010\" "
                                "ORDER BY DATA ASC"));
    timer.restart();
    query.Open();
    int walked = 0;
    for (query.First(); !query.Eof() && walked < 10000; query.Next(), ++walked)
        for (const char* name : {"Val01", "Val02", "Val03", "Val04", "Val05"})
            query.FieldByName(QLatin1String(name)).AsInteger();
    const qint64 walk = timer.nsecsElapsed();
    out << rows << " rows: open " << open / 1000 << " us, next " << next / 1000 << " us, last " << last / 1000
        << " us, query + walk of " << walked << " rows " << walk / 1000000 << " ms\n";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Measure(100);
    Measure(100000);
    return 0;
}
