#include "bench/BenchSupport.h"

#include "data/EngineStore.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "data/Statement.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

TStats Stats(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values.front(), values.back()};
}

double TimeMs(const std::function<void()>& run)
{
    QElapsedTimer timer;
    timer.start();
    run();
    return double(timer.nsecsElapsed()) / 1e6;
}

void PrintStats(const char* name, const std::vector<double>& values, const char* unit)
{
    const TStats s = Stats(values);
    std::printf("  %-28s median %10.3f %s  (min %.3f, max %.3f) over %zu rounds\n", name, s.median, unit,
                s.min, s.max, values.size());
}

void PrintRatio(const char* figure, const std::vector<double>& measured, const std::vector<double>& baseline,
                double aim)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < measured.size() && i < baseline.size(); ++i)
        ratios.push_back(measured[i] / baseline[i]);
    const TStats r = Stats(ratios);
    std::sort(ratios.begin(), ratios.end());
    const double ratio = Stats(measured).median / Stats(baseline).median;
    std::printf("  %-28s %.2f  (per round %.2f to %.2f, middle half %.2f to %.2f; aim <= %.2f)\n",
                "ratio of medians", ratio, r.min, r.max, ratios[ratios.size() / 4],
                ratios[ratios.size() * 3 / 4], aim);
    std::printf("RESULT %s %.3f %.3f %.3f %.2f\n", figure, ratio, r.min, r.max, aim);
    std::fflush(stdout);
}

namespace
{

QString FixtureFolder()
{
    return QStringLiteral(SORMELIN_BENCH_FIXTURES);
}

void Check(sqlite3* db, int rc, const char* action)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(action) + ": " + sqlite3_errmsg(db));
}

// Adds the rows to a new, plain table file in one transaction, in the column layout the engine keeps.
void FillRows(const QString& path, int rows)
{
    sqlite3* db = nullptr;
    Check(db, sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr),
          "open");
    const auto exec = [db](const char* sql) {
        Check(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
    };
    exec("BEGIN");
    sqlite3_stmt* stmt = nullptr;
    Check(db,
          sqlite3_prepare_v2(
              db,
              "INSERT INTO TableRows (Data, ORACont01, Val01, ORACont02, Val02, ORACont03, Val03, "
              "ORACont04, Val04, ORACont05, Val05, Note) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
              -1, &stmt, nullptr),
          "prepare");
    static const char* const times[] = {"07:00:00", "13:00:00", "16:00:00", "20:00:00", "23:00:00"};
    const QDate first(1990, 1, 1);
    for (int i = 0; i < rows; ++i) {
        const QByteArray date = first.addDays(i).toString(Qt::ISODate).toLatin1();
        sqlite3_bind_text(stmt, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        for (int k = 1; k <= 5; ++k) {
            sqlite3_bind_text(stmt, 2 * k, times[k - 1], -1, SQLITE_STATIC);
            if ((i + k) % 11 == 0)
                sqlite3_bind_null(stmt, 2 * k + 1);
            else
                sqlite3_bind_double(stmt, 2 * k + 1, 80.0 + (i * 7 + k * 13) % 150 + 0.5);
        }
        if (i % 7 == 0)
            sqlite3_bind_text(stmt, 12, "Controllo dopo la passeggiata", -1, SQLITE_STATIC);
        else
            sqlite3_bind_null(stmt, 12);
        Check(db, sqlite3_step(stmt), "insert");
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    exec("COMMIT");
    sqlite3_close_v2(db);
}

} // namespace

QString DiaryFixture(int rows)
{
    const QString path = FixtureFolder() + QStringLiteral("/Nortav-%1.DB").arg(rows);
    if (QFileInfo::exists(path))
        return path;
    QDir().mkpath(FixtureFolder());
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    const TStatement create = ParseStatement(QStringLiteral("CREATE TABLE \"Nortav.DB") + SchemaDiario);
    EngineStore::CreateTableFile(building, std::get<TCreateTable>(create).columns);
    FillRows(building, rows);
    EngineStore::ProtectTableFile(building, TablePassword, {});
    if (!QFile::rename(building, path))
        throw std::runtime_error("cannot keep the fixture " + path.toStdString());
    return path;
}

void CopyFixture(int rows, const QString& target)
{
    const QString source = DiaryFixture(rows);
    QFile::remove(target);
    if (!QFile::copy(source, target))
        throw std::runtime_error("cannot copy the fixture to " + target.toStdString());
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
}

qint64 PeakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
