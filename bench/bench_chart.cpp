// The chart walk (range query through the engine plus the fill of the five series, no drawing) against
// the same range SELECT stepped straight through SQLCipher on the same protected file, in one run.

#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "diary/GraficoModel.h"
#include "settings/ZepDll.h"
#include "tests/TestSupport.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <vector>

namespace
{

constexpr int Rows = 10000;
constexpr int Repetitions = 15;
const QString Alias = QStringLiteral("DNortav09");
const QString TableFile = QStringLiteral("Nortav.DB");
const QString Dal = QStringLiteral("01/01/1990");
const QString Al = QStringLiteral("12/31/2030");

// The bare query on its own connection to the file, keyed once before timing starts.
class TBareQuery
{
public:
    explicit TBareQuery(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
        const QByteArray key = TablePassword.toUtf8();
        sqlite3_key(m_db, key.constData(), int(key.size()));
    }
    ~TBareQuery() { sqlite3_close_v2(m_db); }
    TBareQuery(const TBareQuery&) = delete;
    TBareQuery& operator=(const TBareQuery&) = delete;

    // Steps every row of the range, reading the date and the five values; returns the rows read.
    int Run() const
    {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(
                m_db, "SELECT * FROM TableRows WHERE Data >= ?1 AND Data <= ?2 ORDER BY Data ASC, _rowid_",
                -1, &stmt, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "bare query: %s\n", sqlite3_errmsg(m_db));
            return -1;
        }
        sqlite3_bind_text(stmt, 1, "1990-01-01", -1, SQLITE_STATIC);
        sqlite3_bind_text(stmt, 2, "2030-12-31", -1, SQLITE_STATIC);
        const int data = ColumnIndex(stmt, "Data");
        int rows = 0;
        double sum = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            sum += double(sqlite3_column_bytes(stmt, data));
            for (int k = 0; k < 5; ++k)
                sum += sqlite3_column_double(stmt, data + 2 + 2 * k);
            ++rows;
        }
        sqlite3_finalize(stmt);
        m_sink = sum;
        return rows;
    }

private:
    static int ColumnIndex(sqlite3_stmt* stmt, const char* name)
    {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i)
            if (qstricmp(sqlite3_column_name(stmt, i), name) == 0)
                return i;
        return 0;
    }

    sqlite3* m_db = nullptr;
    mutable double m_sink = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    TTempHome home;
    TMessageRecorder messages;
    TProgram program;

    const QString folder = home.Path() + QStringLiteral("/2010/");
    QDir().mkpath(folder);
    ScriviReg(ChiaveReg.toUtf8().constData(), "DBNortav", TableFile.toUtf8().constData());
    FDB->Session1->AddStandardAlias(Alias, folder, QStringLiteral("PARADOX"));
    FDB->Session1->AddPassword(TablePassword);
    CopyFixture(Rows, folder + TableFile);
    FDB->QGEN->SetDatabaseName(Alias);

    TGraficoModel model;
    const TBareQuery bare(folder + TableFile);
    const auto walk = [&] { CaricaGrafico(*FDB->QGEN, TableFile, Dal, Al, model); };
    int bareRows = 0;
    walk(); // warm-up: opens the file and derives the key once on each side
    bareRows = bare.Run();
    if (!messages.Errors().isEmpty() || bareRows != Rows || model.Etichette().size() != Rows) {
        std::fprintf(stderr, "set-up failed: %d bare rows, %d chart rows, %s\n", bareRows,
                     int(model.Etichette().size()), qPrintable(messages.Errors().join(u'\n')));
        return 1;
    }

    std::vector<double> walkTimes;
    std::vector<double> bareTimes;
    for (int i = 0; i < Repetitions; ++i) { // interleaved, so drift of the machine hits both alike
        walkTimes.push_back(TimeMs(walk));
        bareTimes.push_back(TimeMs([&] { bareRows = bare.Run(); }));
    }
    std::printf("Chart: range walk and series fill of %d rows against the bare SQLCipher query\n", Rows);
    PrintStats("chart walk", walkTimes, "ms");
    PrintStats("bare query", bareTimes, "ms");
    PrintRatio("Chart", walkTimes, bareTimes, 1.5);
    return 0;
}
