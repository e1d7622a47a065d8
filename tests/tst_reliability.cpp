// Reliability under crashes, locks and foreign files. The test program is also its own child process:
// run with "--child <mode> ..." it posts, protects, locks or walks the table steps in a process the test
// kills, blocks or runs under another user.

#include "app/Program.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "diary/F_Agenda.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/prctl.h>
#include <unistd.h>

namespace
{

const QString Alias = QStringLiteral("Prova");
const QString TableFile = QStringLiteral("Nortav.DB");
const QDate FirstDay(2024, 1, 1);
constexpr int Kills = 20;
constexpr uid_t Nobody = 65534;

// ---------------------------------------------------------------------------------------------------
// Rows the children write: every value follows from the row number, so a read-back row is checked whole.

struct TDiaryRow {
    QDate data;
    QTime ora;
    double valore = 0;
    QString note;
    bool operator==(const TDiaryRow&) const = default;
};

TDiaryRow RowFor(int n)
{
    return {FirstDay.addDays(n % 3650), QTime(0, 0).addSecs((n % 1440) * 60), n + 0.25,
            QStringLiteral("riga %1").arg(n)};
}

void Fill(TTable& table, const TDiaryRow& row)
{
    table.FieldByName(QStringLiteral("Data")).SetValue(row.data);
    table.FieldByName(QStringLiteral("ORACont01")).SetValue(row.ora);
    table.FieldByName(QStringLiteral("Val01")).SetValue(row.valore);
    table.FieldByName(QStringLiteral("Note")).SetValue(row.note);
}

TDiaryRow Read(TTable& table)
{
    return {table.FieldByName(QStringLiteral("Data")).Value().toDate(),
            table.FieldByName(QStringLiteral("ORACont01")).Value().toTime(),
            table.FieldByName(QStringLiteral("Val01")).Value().toDouble(),
            table.FieldByName(QStringLiteral("Note")).Value().toString()};
}

// A session on the folder, with or without the table password, as the start-up leaves it.
std::unique_ptr<TSession> NewSession(const QString& folder, bool password = true)
{
    auto session = std::make_unique<TSession>();
    session->AddStandardAlias(Alias, folder, QStringLiteral("PARADOX"));
    if (password)
        session->AddPassword(TablePassword);
    return session;
}

std::unique_ptr<TTable> NewTable(TSession& session)
{
    auto table = std::make_unique<TTable>(&session);
    table->setObjectName(QStringLiteral("T_Nortav"));
    table->SetDatabaseName(Alias);
    table->SetTableName(TableFile);
    return table;
}

void CreateDiary(TSession& session)
{
    TQuery query(&session);
    query.SetDatabaseName(Alias);
    query.SetSQL(QStringLiteral("CREATE TABLE \"") + TableFile + SchemaDiario);
    query.ExecSQL();
}

void Protect(const QString& folder)
{
    TFConf().ProteggiTabella(TableFile, TablePassword, folder);
}

// Every row of the table by its note, read through the engine.
std::map<QString, TDiaryRow> ReadAll(const QString& folder)
{
    const std::unique_ptr<TSession> session = NewSession(folder);
    const std::unique_ptr<TTable> table = NewTable(*session);
    table->Open();
    std::map<QString, TDiaryRow> rows;
    for (; !table->IsEmpty() && !table->Eof(); table->Next()) {
        const TDiaryRow row = Read(*table);
        rows.emplace(row.note, row);
    }
    return rows;
}

// SQLCipher's own check of the file, on a raw connection keyed when the table is protected.
QString IntegrityCheck(const QString& path)
{
    QFile file(path);
    const bool plain = file.open(QIODevice::ReadOnly) && file.read(16).startsWith("SQLite format 3");
    sqlite3* db = nullptr;
    QString result = QStringLiteral("cannot open");
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) ==
        SQLITE_OK) {
        const QByteArray key = TablePassword.toUtf8();
        if (!plain)
            sqlite3_key(db, key.constData(), int(key.size()));
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        else
            result = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    return result;
}

// A journal whose records were synced before the writer died: SQLite must roll it back. A journal cut
// before that has no header magic yet and is ignored.
bool HotJournal(const QString& path)
{
    QFile journal(path + u"-journal");
    return journal.open(QIODevice::ReadOnly) && journal.read(8) == QByteArray::fromHex("d9d505f920a163d7");
}

// Files beside the table that are not the table itself: temporary copies and journals.
QStringList Leftovers(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeOne(TableFile);
    return names;
}

// Name and digest of every file of the folder.
QMap<QString, QByteArray> Snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo& info : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        QFile file(info.filePath());
        const bool readable = file.open(QIODevice::ReadOnly);
        files.insert(info.fileName(),
                     readable ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                              : QByteArrayLiteral("unreadable"));
    }
    return files;
}

// ---------------------------------------------------------------------------------------------------
// Child modes. Each prints one line per step it finished, flushed at once, so a kill loses no report.

void Say(const QString& line)
{
    std::cout << line.toStdString() << std::endl;
}

// Appends and posts rows numbered from first on, for ever or until count rows are stored.
int ChildPost(const QString& folder, int first, int count)
{
    const std::unique_ptr<TSession> session = NewSession(folder);
    const std::unique_ptr<TTable> table = NewTable(*session);
    table->Open();
    for (int n = first; count < 0 || n < first + count; ++n) {
        table->Append();
        Fill(*table, RowFor(n));
        table->Post();
        Say(QString::number(n));
    }
    return 0;
}

int ChildProtect(const QString& folder)
{
    const std::unique_ptr<TSession> session = NewSession(folder); // its password opens a protected table
    Say(QStringLiteral("start"));
    Protect(folder);
    Say(QStringLiteral("done"));
    return 0;
}

// Holds a write transaction on the table until its input closes.
int ChildLock(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const QByteArray key = TablePassword.toUtf8();
    sqlite3_key(db, key.constData(), int(key.size()));
    const bool locked = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
    Say(locked ? QStringLiteral("locked") : QString::fromUtf8(sqlite3_errmsg(db)));
    for (std::string line; std::getline(std::cin, line);) {
    }
    sqlite3_close_v2(db); // rolls back and frees the lock
    return 0;
}

// The steps a year folder meets, in order from the one named first, stopping at the first error:
// start-up (a missing table is created), diary open, post of a row, protection.
int ChildSteps(const QString& folder, const QString& first, bool password, bool asNobody)
{
    if (asNobody && geteuid() == 0) {
        if (setgid(Nobody) != 0 || setuid(Nobody) != 0) {
            Say(QStringLiteral("setup: cannot drop privileges"));
            return 1;
        }
        prctl(PR_SET_DUMPABLE, 1); // a leak checker at exit attaches to the process
    }
    const std::unique_ptr<TSession> session = NewSession(folder, password);
    const std::unique_ptr<TTable> table = NewTable(*session);
    const std::pair<QString, std::function<void()>> steps[] = {
        {QStringLiteral("startup"),
         [&] {
             if (!QFileInfo::exists(folder + TableFile))
                 CreateDiary(*session);
         }},
        {QStringLiteral("open"), [&] { table->Open(); }},
        {QStringLiteral("post"),
         [&] {
             table->Append();
             Fill(*table, RowFor(1));
             table->Post();
         }},
        {QStringLiteral("protect"),
         [&] {
             table->Close();
             Protect(folder);
         }},
    };
    bool started = false;
    for (const auto& [name, step] : steps) {
        started = started || name == first;
        if (!started)
            continue;
        try {
            step();
        } catch (const std::exception& error) {
            Say(name + QStringLiteral(": ") + QString::fromUtf8(error.what()));
            return 0;
        }
        Say(name + QStringLiteral(": ok"));
    }
    return 0;
}

int RunChild(const QStringList& args)
{
    const QString mode = args.value(0);
    const QString folder = args.value(1);
    try {
        if (mode == u"post")
            return ChildPost(folder, args.value(2).toInt(), args.value(3, QStringLiteral("-1")).toInt());
        if (mode == u"protect")
            return ChildProtect(folder);
        if (mode == u"lock")
            return ChildLock(folder + TableFile);
        if (mode == u"steps")
            return ChildSteps(folder, args.value(2), !args.contains(u"--no-password"),
                              args.contains(u"--as-nobody"));
    } catch (const std::exception& error) {
        Say(QStringLiteral("error: ") + QString::fromUtf8(error.what()));
        return 1;
    }
    return 2;
}

// A child process of this program in one of the modes above.
class TChild
{
public:
    explicit TChild(const QStringList& args)
    {
        m_process.setProgram(QCoreApplication::applicationFilePath());
        m_process.setArguments(QStringList{QStringLiteral("--child")} + args);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
    }
    ~TChild()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    TChild(const TChild&) = delete;
    TChild& operator=(const TChild&) = delete;

    // Waits for the next whole line, at most timeoutMs.
    QString Line(int timeoutMs = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_process.canReadLine() && timer.elapsed() < timeoutMs &&
               m_process.state() != QProcess::NotRunning)
            m_process.waitForReadyRead(int(timeoutMs - timer.elapsed()));
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }
    // Whole lines printed until the end, which comes within timeoutMs.
    QStringList Finish(int timeoutMs = 20000)
    {
        m_process.waitForFinished(timeoutMs);
        QStringList lines;
        while (m_process.canReadLine())
            lines << QString::fromUtf8(m_process.readLine()).trimmed();
        return lines;
    }
    void Kill() { m_process.kill(); } // SIGKILL
    void CloseInput() { m_process.closeWriteChannel(); }

private:
    QProcess m_process;
};

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(12345);
    for (char& byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

// A header laid out like a keyed desktop table: record size, header size, file type, block size, record
// count, then zero padding to the 2 KiB header, followed by one empty data block.
QByteArray DesktopTableHeader()
{
    QByteArray bytes(2048 + 4096, '\0');
    const unsigned char head[] = {0x2A, 0x00, 0x00, 0x08, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00,
                                  0x01, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    std::copy(std::begin(head), std::end(head), bytes.begin());
    bytes[0x39] = 0x0C; // format version
    return bytes;
}

// A plain SQLite database with a schema of somebody else's.
void WriteOtherDatabase(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                    nullptr);
    sqlite3_exec(db,
                 "CREATE TABLE clienti (nome TEXT, saldo REAL); INSERT INTO clienti VALUES ('Rossi', 12.5)",
                 nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
}

} // namespace

class TestReliability : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void killDuringPosts();
    void killDuringProtection();
    void lockedYearKeepsDiaryRowAndMode();
    void rowsOfSecondProgramSeenAtNextOpening();
    void foreignAndDamagedFiles_data();
    void foreignAndDamagedFiles();

private:
    QString Folder() const { return m_dir->path() + QLatin1Char('/'); }
    QString TablePathName() const { return Folder() + TableFile; }
    void NewDiary(bool protect);

    std::optional<QTemporaryDir> m_dir;
    QLocale m_savedLocale;
};

void TestReliability::init()
{
    m_savedLocale = QLocale();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); // the diary reads "98,5"
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
}

void TestReliability::cleanup()
{
    m_dir.reset();
    QLocale::setDefault(m_savedLocale);
}

void TestReliability::NewDiary(bool protect)
{
    const std::unique_ptr<TSession> session = NewSession(Folder());
    CreateDiary(*session);
    if (protect)
        Protect(Folder());
}

// Posts killed at random moments: every post that returned is in the table with its values, and the
// file stays sound however many kills it took.
void TestReliability::killDuringPosts()
{
    NewDiary(true);
    QSet<int> reported;
    int journals = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        {
            TChild child({QStringLiteral("post"), Folder(), QString::number(kill * 100000)});
            const QString first = child.Line();
            QThread::usleep(QRandomGenerator::global()->bounded(20000));
            child.Kill();
            for (const QString& line : QStringList{first} + child.Finish()) {
                bool number = false;
                reported.insert(line.toInt(&number));
                QVERIFY2(number, qPrintable(line));
            }
        }
        journals += HotJournal(TablePathName()) ? 1 : 0; // a commit cut short while writing the table
        std::map<QString, TDiaryRow> stored;
        try {
            stored = ReadAll(Folder());
        } catch (const EDatabaseError& error) {
            QFAIL(qPrintable(QStringLiteral("kill %1: %2").arg(kill).arg(error.Message())));
        }
        QVERIFY(!HotJournal(TablePathName())); // the opening rolled the interrupted commit back
        QCOMPARE(IntegrityCheck(TablePathName()), QStringLiteral("ok"));
        for (const int n : std::as_const(reported)) {
            const auto it = stored.find(RowFor(n).note);
            QVERIFY2(it != stored.end(), qPrintable(QStringLiteral("row %1 lost").arg(n)));
            QVERIFY2(it->second == RowFor(n), qPrintable(QStringLiteral("row %1 changed").arg(n)));
        }
        for (const auto& [note, row] : stored) // a post cut short is absent, never half-written
            QVERIFY2(row == RowFor(note.mid(5).toInt()), qPrintable(note));
    }
    QVERIFY(reported.size() >= Kills);
    qInfo("%lld posts reported, %d kills left a journal to roll back", qlonglong(reported.size()), journals);
}

// Protection killed at random points: the table opens, plain or protected, with every row, and the
// temporary copy of a cut protection is gone once the table is opened or protected again.
void TestReliability::killDuringProtection()
{
    constexpr int Rows = 3000;
    NewDiary(false);
    {
        // Filled in one transaction straight on the file: thousands of durable posts would take long.
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open_v2(QFile::encodeName(TablePathName()).constData(), &db, SQLITE_OPEN_READWRITE,
                                 nullptr),
                 SQLITE_OK);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO TableRows (Data, ORACont01, Val01, Note) VALUES (?, ?, ?, ?)", -1,
                           &insert, nullptr);
        for (int n = 0; n < Rows; ++n) {
            const TDiaryRow row = RowFor(n);
            const QByteArray data = row.data.toString(Qt::ISODate).toUtf8();
            const QByteArray ora = row.ora.toString(QStringLiteral("HH:mm:ss")).toUtf8();
            const QByteArray note = row.note.toUtf8();
            sqlite3_bind_text(insert, 1, data.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, ora.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(insert, 3, row.valore);
            sqlite3_bind_text(insert, 4, note.constData(), -1, SQLITE_TRANSIENT);
            QCOMPARE(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        QCOMPARE(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close_v2(db);
    }
    QCOMPARE(int(ReadAll(Folder()).size()), Rows);

    // Whole protections in a child, plain then protected, give the span the kills fall in; a few kills
    // land after the end.
    qint64 spanUs = 0;
    for (int run = 0; run < 2; ++run) {
        TChild child({QStringLiteral("protect"), Folder()});
        QCOMPARE(child.Line(), QStringLiteral("start"));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(child.Line(), QStringLiteral("done"));
        spanUs = std::max<qint64>(spanUs, timer.nsecsElapsed() / 1000 * 5 / 4);
    }
    int cut = 0;
    int copies = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        {
            TChild child({QStringLiteral("protect"), Folder()});
            QCOMPARE(child.Line(), QStringLiteral("start"));
            QThread::usleep(QRandomGenerator::global()->bounded(spanUs));
            child.Kill();
            cut += child.Finish().isEmpty() ? 1 : 0;
        }
        copies += Leftovers(Folder()).isEmpty() ? 0 : 1;
        const QString context =
            QStringLiteral("kill %1, left %2").arg(kill).arg(Leftovers(Folder()).join(u' '));
        std::map<QString, TDiaryRow> stored;
        try {
            stored = ReadAll(Folder());
        } catch (const EDatabaseError& error) {
            QFAIL(qPrintable(context + u": " + error.Message()));
        }
        QVERIFY2(int(stored.size()) == Rows, qPrintable(context));
        for (const auto& [note, row] : stored)
            QVERIFY2(row == RowFor(note.mid(5).toInt()), qPrintable(note));
        QCOMPARE(IntegrityCheck(TablePathName()), QStringLiteral("ok"));
        QVERIFY2(Leftovers(Folder()).isEmpty(), qPrintable(context)); // the opening above tidied up
    }
    qInfo("%d of %d protections cut short, %d left a copy behind", cut, Kills, copies);

    // A stale copy of a cut protection goes with the next protection too.
    WriteFile(Folder() + u'.' + TableFile + u".aB3xYz", RandomBytes(4096));
    WriteFile(Folder() + u'.' + TableFile + u".aB3xYz-journal", RandomBytes(512));
    const std::unique_ptr<TSession> session = NewSession(Folder());
    Protect(Folder());
    QCOMPARE(Leftovers(Folder()), QStringList());
    QCOMPARE(int(ReadAll(Folder()).size()), Rows);
}

// A second program holding the year's write lock: Salva fails with the engine's error, the diary keeps
// the typed row and its editing mode, and the same Salva stores it once the lock is gone.
void TestReliability::lockedYearKeepsDiaryRowAndMode()
{
    TTempHome home;
    TMessageRecorder messages;
    TProgram program;
    NewDiary(true);
    FDB->Session1->AddStandardAlias(Alias, Folder(), QStringLiteral("PARADOX"));
    FDB->Session1->AddPassword(TablePassword);
    FDB->T_Nortav->SetDatabaseName(Alias);
    FDB->T_Nortav->SetTableName(TableFile);
    FDB->T_Nortav->Open();
    FAgenda->show();
    FAgenda->Nuovo1Click();
    auto* val01 = FAgenda->findChild<QLineEdit*>(QStringLiteral("Val01"));
    QVERIFY(val01);
    val01->setFocus();
    val01->selectAll();
    QTest::keyClicks(val01, QStringLiteral("98,5"));
    auto* salva = FAgenda->findChild<QAction*>(QStringLiteral("Salva1"));
    QVERIFY(salva);
    {
        TChild lock({QStringLiteral("lock"), Folder()});
        QCOMPARE(lock.Line(), QStringLiteral("locked"));
        FAgenda->Salva1Click();
        QCOMPARE(messages.Errors().size(), 1);
        QVERIFY2(messages.Errors().constFirst().contains(u"locked by another program"),
                 qPrintable(messages.Errors().constFirst()));
        QCOMPARE(FDB->T_Nortav->State(), TDataSetState::Insert);
        QVERIFY(salva->isEnabled());
        QCOMPARE(val01->text(), QStringLiteral("98,5"));
        lock.CloseInput();
        QCOMPARE(lock.Finish(), QStringList());
    }
    messages.Clear();
    FAgenda->Salva1Click();
    QCOMPARE(messages.Errors(), QStringList());
    QCOMPARE(FDB->T_Nortav->State(), TDataSetState::Browse);
    QVERIFY(!salva->isEnabled());
    FDB->T_Nortav->Close();
    const std::map<QString, TDiaryRow> stored = ReadAll(Folder());
    QCOMPARE(stored.size(), size_t(1));
    QCOMPARE(stored.begin()->second.valore, 98.5);
}

// Rows another program posted while the diary was open show at the table's next opening.
void TestReliability::rowsOfSecondProgramSeenAtNextOpening()
{
    NewDiary(true);
    const std::unique_ptr<TSession> session = NewSession(Folder());
    const std::unique_ptr<TTable> table = NewTable(*session);
    table->Open();
    table->Append();
    Fill(*table, RowFor(0));
    table->Post();
    QCOMPARE(TChild({QStringLiteral("post"), Folder(), QStringLiteral("1"), QStringLiteral("3")}).Finish(),
             (QStringList{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")}));
    table->Close();
    table->Open();
    for (int n = 0; n < 4; ++n, table->Next()) {
        QVERIFY(!table->Eof());
        QCOMPARE(Read(*table), RowFor(n));
    }
    QVERIFY(table->Eof());
}

enum class TCase {
    Empty,
    Random,
    OtherSchema,
    DesktopTable,
    NoPassword,
    NoRead,
    NoWrite,
    ReadOnlyFolder,
    ReadOnlyFolderNoTable
};

void TestReliability::foreignAndDamagedFiles_data()
{
    QTest::addColumn<TCase>("kind");
    QTest::addColumn<QString>("first");    // the step the run starts at
    QTest::addColumn<QString>("expected"); // the last line the steps print: the step and its error

    const QString foreign = QStringLiteral("open: Not a Sormelin table: ");
    const QString unknown = QStringLiteral("open: Invalid password for table, or not a Sormelin table: ");
    const QString startup = QStringLiteral("startup");
    QTest::newRow("empty file") << TCase::Empty << startup << foreign;
    QTest::newRow("random bytes") << TCase::Random << startup << unknown;
    QTest::newRow("other SQLite schema") << TCase::OtherSchema << startup << foreign;
    QTest::newRow("desktop table header") << TCase::DesktopTable << startup << unknown;
    QTest::newRow("password not known") << TCase::NoPassword << startup << unknown;
    QTest::newRow("no read permission")
        << TCase::NoRead << startup << QStringLiteral("open: Cannot open table ");
    QTest::newRow("no write permission")
        << TCase::NoWrite << startup << QStringLiteral("post: Cannot write table ");
    QTest::newRow("read-only folder")
        << TCase::ReadOnlyFolder << startup << QStringLiteral("post: Cannot write table ");
    QTest::newRow("read-only folder, no table")
        << TCase::ReadOnlyFolderNoTable << startup << QStringLiteral("startup: Cannot create table ");
    // Protection meets the file first: it refuses without writing a byte.
    const QString protect = QStringLiteral("protect");
    QTest::newRow("random bytes, protection")
        << TCase::Random << protect << QStringLiteral("protect: Invalid password for table");
    QTest::newRow("other SQLite schema, protection")
        << TCase::OtherSchema << protect << QStringLiteral("protect: Not a Sormelin table: ");
    QTest::newRow("no write permission, protection")
        << TCase::NoWrite << protect << QStringLiteral("protect: Cannot protect table ");
    QTest::newRow("read-only folder, protection")
        << TCase::ReadOnlyFolder << protect << QStringLiteral("protect: Cannot protect table ");
}

// Each file meets a clear error at the first step that reads or writes it, and nothing in the folder
// changes. Permission cases run the steps as an unprivileged user, since root ignores file modes.
void TestReliability::foreignAndDamagedFiles()
{
    QFETCH(TCase, kind);
    QFETCH(QString, first);
    QFETCH(QString, expected);
    const QString path = TablePathName();
    switch (kind) {
    case TCase::Empty:
        WriteFile(path, {});
        break;
    case TCase::Random:
        WriteFile(path, RandomBytes(8192));
        break;
    case TCase::OtherSchema:
        WriteOtherDatabase(path);
        break;
    case TCase::DesktopTable:
        WriteFile(path, DesktopTableHeader());
        break;
    case TCase::NoPassword:
    case TCase::NoRead:
    case TCase::NoWrite:
    case TCase::ReadOnlyFolder:
        NewDiary(true);
        break;
    case TCase::ReadOnlyFolderNoTable:
        break;
    }
    const bool permissions = kind == TCase::NoRead || kind == TCase::NoWrite ||
                             kind == TCase::ReadOnlyFolder || kind == TCase::ReadOnlyFolderNoTable;
    if (permissions) {
        QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                         QFile::ReadOther | QFile::ExeOther));
        const QByteArray folder = QFile::encodeName(m_dir->path());
        if (geteuid() == 0) { // the unprivileged user owns the folder and the file, as the user would
            QCOMPARE(::chown(folder.constData(), Nobody, Nobody), 0);
            if (QFileInfo::exists(path))
                QCOMPARE(::chown(QFile::encodeName(path).constData(), Nobody, Nobody), 0);
        }
        if (kind == TCase::NoRead)
            QVERIFY(QFile::setPermissions(path, QFile::WriteOwner));
        if (kind == TCase::NoWrite)
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        if (kind == TCase::ReadOnlyFolder || kind == TCase::ReadOnlyFolderNoTable)
            QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner |
                                                             QFile::ReadOther | QFile::ExeOther));
    }
    const QMap<QString, QByteArray> before = Snapshot(Folder());

    QStringList args{QStringLiteral("steps"), Folder(), first};
    if (kind == TCase::NoPassword)
        args << QStringLiteral("--no-password");
    if (permissions)
        args << QStringLiteral("--as-nobody");
    const QStringList lines = TChild(args).Finish();

    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(!lines.isEmpty() && lines.constLast().startsWith(expected), qPrintable(lines.join(u'|')));
    QVERIFY2(lines.constLast().size() > expected.size(), "the error names the file");
    QCOMPARE(Snapshot(Folder()), before);
}

int main(int argc, char** argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return RunChild(app.arguments().mid(2));
    }
    QApplication app(argc, argv);
    TestReliability test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_reliability.moc"
