// The diary table through T_Nortav, with the diary window's controls bound to it, against the same work
// straight on SQLCipher or against a smaller table, in one run:
// - Post: rows appended and posted one by one against the same inserts, one transaction per row, with the
//   same pragmas, both on protected files;
// - Paging: one Next on a 100,000-row table against a 1,000-row table;
// - Opening: opening the table and showing its first row, 100,000 rows against 100 rows, from a session
//   that has not opened the file yet (so the key is derived each time) and, for information, again.

#include "app/Program.h"
#include "bench/BenchSupport.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "tests/TestSupport.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <stdexcept>
#include <vector>

namespace
{

const QString Alias = QStringLiteral("DNortav09");
constexpr int PostRows = 2000;
constexpr int PostRounds = 100; // short alternating rounds: the disk's flush time drifts a lot
constexpr int PageSteps = 500;
constexpr int Rounds = 15;

const char* const Times[] = {"07:00:00", "13:00:00", "16:00:00", "20:00:00", "23:00:00"};

double Value(int row, int k)
{
    return 80.0 + (row * 7 + k * 13) % 150 + 0.5;
}

void Bind(const QString& table)
{
    TTable& t = *FDB->T_Nortav;
    t.Close();
    t.SetDatabaseName(Alias);
    t.SetTableName(table);
}

// A new empty diary table, protected as the program protects it.
void NewTable(const QString& folder, const QString& table)
{
    FConf->CreaTabella(Alias, table, SchemaDiario);
    FConf->ProteggiTabella(table, TablePassword, folder);
}

// The same rows inserted on a raw keyed connection with the engine's pragmas.
class TBareInsert
{
public:
    explicit TBareInsert(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray key = TablePassword.toUtf8();
        sqlite3_key(m_db, key.constData(), int(key.size()));
        sqlite3_extended_result_codes(m_db, 1);
        sqlite3_busy_timeout(m_db, 2000);
        sqlite3_exec(m_db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
        if (sqlite3_prepare_v2(
                m_db,
                "INSERT INTO TableRows (Data, ORACont01, Val01, ORACont02, Val02, ORACont03, Val03, "
                "ORACont04, Val04, ORACont05, Val05) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                -1, &m_insert, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
    }
    ~TBareInsert()
    {
        sqlite3_finalize(m_insert);
        sqlite3_close_v2(m_db);
    }
    TBareInsert(const TBareInsert&) = delete;
    TBareInsert& operator=(const TBareInsert&) = delete;

    void Post(int row)
    {
        const QByteArray date = QDate(1990, 1, 1).addDays(row).toString(Qt::ISODate).toLatin1();
        sqlite3_bind_text(m_insert, 1, date.constData(), int(date.size()), SQLITE_TRANSIENT);
        for (int k = 1; k <= 5; ++k) {
            sqlite3_bind_text(m_insert, 2 * k, Times[k - 1], -1, SQLITE_STATIC);
            sqlite3_bind_double(m_insert, 2 * k + 1, Value(row, k));
        }
        Exec("BEGIN IMMEDIATE");
        if (sqlite3_step(m_insert) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(m_db));
        sqlite3_reset(m_insert);
        sqlite3_clear_bindings(m_insert);
        Exec("COMMIT");
    }

private:
    void Exec(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(m_db));
    }

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
};

void PostThroughTable(int row)
{
    TTable& t = *FDB->T_Nortav;
    t.Append();
    t.FieldByName(QStringLiteral("Data")).SetValue(QDate(1990, 1, 1).addDays(row));
    for (int k = 1; k <= 5; ++k) {
        const QString n = QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
        t.FieldByName(u"ORACont" + n).SetValue(QTime::fromString(QLatin1String(Times[k - 1]), Qt::ISODate));
        t.FieldByName(u"Val" + n).SetValue(Value(row, k));
    }
    t.Post();
}

void BenchPost(const QString& folder)
{
    NewTable(folder, QStringLiteral("Post.DB"));
    NewTable(folder, QStringLiteral("Bare.DB"));
    TBareInsert bare(folder + QStringLiteral("Bare.DB"));
    Bind(QStringLiteral("Post.DB"));
    FDB->T_Nortav->Open();
    std::vector<double> table;
    std::vector<double> raw;
    const int perRound = PostRows / PostRounds;
    for (int round = 0; round < PostRounds; ++round) { // interleaved, so drift of the machine hits both alike
        const int from = round * perRound;
        table.push_back(TimeMs([&] {
                            for (int i = from; i < from + perRound; ++i)
                                PostThroughTable(i);
                        }) /
                        perRound);
        raw.push_back(TimeMs([&] {
                          for (int i = from; i < from + perRound; ++i)
                              bare.Post(i);
                      }) /
                      perRound);
    }
    FDB->T_Nortav->Close();
    std::printf("Post: %d rows appended and posted, one transaction each, synchronous=EXTRA\n", PostRows);
    PrintStats("T_Nortav post", table, "ms/row");
    PrintStats("bare SQLCipher insert", raw, "ms/row");
    PrintRatio("Post", table, raw, 1.2);
}

double PageMs(const QString& table)
{
    Bind(table);
    TTable& t = *FDB->T_Nortav;
    t.Open();
    t.First();
    const double ms = TimeMs([&] {
        for (int i = 0; i < PageSteps; ++i)
            t.Next();
    });
    if (t.Eof())
        throw std::runtime_error("paging ran off the table");
    return ms / PageSteps;
}

void BenchPaging()
{
    std::vector<double> big;
    std::vector<double> small;
    PageMs(QStringLiteral("Rows100000.DB")); // warm-up: keys both files once
    PageMs(QStringLiteral("Rows1000.DB"));
    for (int round = 0; round < Rounds; ++round) {
        big.push_back(PageMs(QStringLiteral("Rows100000.DB")) * 1000);
        small.push_back(PageMs(QStringLiteral("Rows1000.DB")) * 1000);
    }
    std::printf("Paging: one Next on 100,000 rows against 1,000 rows\n");
    PrintStats("Next, 100,000 rows", big, "us");
    PrintStats("Next, 1,000 rows", small, "us");
    PrintRatio("Paging", big, small, 1.5);
}

// Opens the table and shows its first row; cold drops the session's open files first.
double OpenMs(const QString& table, bool cold)
{
    Bind(table);
    if (cold) {
        FDB->Session1->SetActive(false);
        FDB->Session1->SetActive(true);
    }
    return TimeMs([] { FDB->T_Nortav->Open(); });
}

void BenchOpening()
{
    for (const bool cold : {true, false}) {
        std::vector<double> big;
        std::vector<double> small;
        for (int round = 0; round < Rounds; ++round) {
            big.push_back(OpenMs(QStringLiteral("Rows100000.DB"), cold));
            small.push_back(OpenMs(QStringLiteral("Rows100.DB"), cold));
        }
        if (FDB->T_Nortav->FieldByName(QStringLiteral("Data")).DisplayText().isEmpty())
            throw std::runtime_error("no first row shown");
        std::printf("Opening%s: T_Nortav opened on its first row, 100,000 rows against 100 rows\n",
                    cold ? "" : " (file already open in the session, for information)");
        PrintStats("open, 100,000 rows", big, "ms");
        PrintStats("open, 100 rows", small, "ms");
        if (cold)
            PrintRatio("Opening", big, small, 2.0);
    }
    FDB->T_Nortav->Close();
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TTempHome home;
    TMessageRecorder messages;
    TProgram program;
    const QString folder = home.Path() + QStringLiteral("/2010/");
    QDir().mkpath(folder);
    FDB->Session1->AddStandardAlias(Alias, folder, QStringLiteral("PARADOX"));
    FDB->Session1->AddPassword(TablePassword);
    FDB->QGEN->SetDatabaseName(Alias);
    try {
        for (const int rows : {100, 1000, 100000})
            CopyFixture(rows, folder + QStringLiteral("Rows%1.DB").arg(rows));
        const QStringList what = app.arguments().mid(1);
        if (what.isEmpty() || what.contains(QStringLiteral("post")))
            BenchPost(folder);
        if (what.isEmpty() || what.contains(QStringLiteral("paging")))
            BenchPaging();
        if (what.isEmpty() || what.contains(QStringLiteral("opening")))
            BenchOpening();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_engine: %s\n", e.what());
        return 1;
    }
    if (!messages.Errors().isEmpty()) {
        std::fprintf(stderr, "bench_engine: %s\n", qPrintable(messages.Errors().join(u'\n')));
        return 1;
    }
    return 0;
}
