#include "data/EngineStore.h"

#include "data/Errors.h"

#define SQLITE_HAS_CODEC 1
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace EngineStore
{

namespace
{

// "SMLN": marks a file as one of our tables.
constexpr int ApplicationId = 0x534D4C4E;
constexpr int BusyTimeoutMs = 2000;

const char* const KindNames[] = {"AUTOINC", "DATE", "TIME", "NUMERIC", "MEMO"};

QString KindName(TFieldType type)
{
    return QLatin1String(KindNames[static_cast<int>(type)]);
}

std::optional<TFieldType> KindFromName(const QString& name)
{
    for (int i = 0; i < 5; ++i)
        if (name == QLatin1String(KindNames[i]))
            return static_cast<TFieldType>(i);
    return std::nullopt;
}

QString SqlType(TFieldType type)
{
    switch (type) {
    case TFieldType::AutoInc:
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    case TFieldType::Float:
        return QStringLiteral("REAL");
    default:
        return QStringLiteral("TEXT");
    }
}

bool ValidIdentifier(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    static const QStringList reserved = {QStringLiteral("rowid"), QStringLiteral("oid"),
                                         QStringLiteral("_rowid_")};
    return pattern.match(name).hasMatch() && !reserved.contains(name, Qt::CaseInsensitive);
}

[[noreturn]] void NotOurs(const QString& path)
{
    throw EEngineError(QStringLiteral("Not a Sormelin table: %1").arg(path));
}

[[noreturn]] void Busy(const QString& path)
{
    throw EEngineError(QStringLiteral("Table is busy (locked by another program): %1").arg(path));
}

QString SqliteText(sqlite3* db, int rc)
{
    const char* text = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return text && *text ? QString::fromUtf8(text) : QString::asprintf("Engine error $%.4x", rc);
}

bool IsBusy(int rc)
{
    return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED;
}

// A raw handle closed on every path out of a failed open.
struct THandle {
    sqlite3* db = nullptr;
    ~THandle() { sqlite3_close_v2(db); }
    sqlite3* Release() { return std::exchange(db, nullptr); }
};

int OpenHandle(const QString& path, int flags, const QString& password, THandle& handle)
{
    int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle.db, flags, nullptr);
    if (rc == SQLITE_OK && !password.isEmpty()) {
        const QByteArray key = password.toUtf8();
        rc = sqlite3_key(handle.db, key.constData(), int(key.size()));
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_extended_result_codes(handle.db, 1);
    return rc;
}

// Reads a one-integer answer; a file that is not a database shows up here as SQLITE_NOTADB.
int QueryInteger(sqlite3* db, const char* sql, int& value)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            value = sqlite3_column_int(stmt, 0);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc;
}

// The column list of a checked file, or nullopt when the file does not hold a table of ours.
std::optional<std::vector<TColumnDef>> LoadColumns(sqlite3* db)
{
    std::vector<TColumnDef> columns;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT Name, Kind FROM TableColumns ORDER BY Position", -1, &stmt, nullptr) ==
        SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto text = [&](int i) {
                return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
            };
            const std::optional<TFieldType> kind = KindFromName(text(1));
            if (!kind || !ValidIdentifier(text(0))) {
                columns.clear();
                break;
            }
            columns.push_back({text(0), *kind});
        }
    }
    sqlite3_finalize(stmt);
    if (columns.empty())
        return std::nullopt;
    const QByteArray probe =
        (u"SELECT _rowid_, " + ColumnList(columns) + u" FROM TableRows LIMIT 0").toUtf8();
    const bool fits = sqlite3_prepare_v2(db, probe.constData(), -1, &stmt, nullptr) == SQLITE_OK;
    sqlite3_finalize(stmt);
    return fits ? std::optional(columns) : std::nullopt;
}

struct TChecked {
    QString password;
    std::vector<TColumnDef> columns;
};

bool HasSqliteHeader(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(16) == QByteArray("SQLite format 3", 16);
}

// Plays back the hot journal a dead writer left: the first read of a read-write handle does it. The journal
// holds the pages as stored, encrypted or not, so the playback restores them whatever key the handle has.
void RollBack(const QString& path, const QString& password)
{
    THandle handle;
    int id = 0;
    if (OpenHandle(path, SQLITE_OPEN_READWRITE, password, handle) == SQLITE_OK)
        QueryInteger(handle.db, "PRAGMA application_id", id);
}

// Finds how the file opens, on a read-only handle, so nothing is written to a file that is not ours
// (beyond playing back the journal of an interrupted write).
TChecked CheckFile(const QString& path, const QStringList& passwords)
{
    QStringList candidates = passwords;
    candidates.prepend(QString());
    for (const QString& password : candidates) {
        THandle handle;
        int id = 0;
        int rc = OpenHandle(path, SQLITE_OPEN_READONLY, password, handle);
        if (rc == SQLITE_OK)
            rc = QueryInteger(handle.db, "PRAGMA application_id", id);
        if (rc == SQLITE_READONLY_ROLLBACK) {
            // A writer died mid-commit: the file's pages are half written until its journal is played
            // back, which a read-only handle may not do. Roll it back, then check the restored file.
            RollBack(path, password);
            sqlite3_close_v2(handle.Release());
            rc = OpenHandle(path, SQLITE_OPEN_READONLY, password, handle);
            if (rc == SQLITE_OK)
                rc = QueryInteger(handle.db, "PRAGMA application_id", id);
        }
        if ((rc & 0xFF) == SQLITE_NOTADB || (rc & 0xFF) == SQLITE_CORRUPT)
            continue;
        if (IsBusy(rc))
            Busy(path);
        if (rc != SQLITE_OK)
            throw EEngineError(
                QStringLiteral("Cannot open table %1: %2").arg(path, SqliteText(handle.db, rc)), rc);
        if (id != ApplicationId)
            NotOurs(path);
        if (std::optional<std::vector<TColumnDef>> columns = LoadColumns(handle.db))
            return {password, std::move(*columns)};
        NotOurs(path);
    }
    if (HasSqliteHeader(path))
        NotOurs(path);
    throw EEngineError(QStringLiteral("Invalid password for table, or not a Sormelin table: %1").arg(path));
}

// EXTRA also flushes the folder once the journal is gone: with FULL alone a power cut just after a
// commit could bring the journal back and roll a returned post back.
void SetDurable(sqlite3* db)
{
    sqlite3_busy_timeout(db, BusyTimeoutMs);
    sqlite3_exec(db, "PRAGMA synchronous=EXTRA", nullptr, nullptr, nullptr);
}

bool FileId(const QString& path, quint64& device, quint64& inode)
{
    struct stat info {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    device = info.st_dev;
    inode = info.st_ino;
    return true;
}

void SyncPath(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

const QLatin1String JournalSuffix("-journal");
constexpr int TempSuffixLength = 6;

// Temporary copies of a table are named "." + file name + "." + six letters or digits.
QString TempPrefix(const QString& target)
{
    return u'.' + QFileInfo(target).fileName() + u'.';
}

// A copy whose owner is gone: no process holds its lock. A copy that cannot be opened is left alone.
bool Abandoned(const QString& copy)
{
    const int fd = ::open(QFile::encodeName(copy).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return free;
}

// A temporary file beside the target, locked while it lives and removed (with its journal) unless kept.
class TTempFile
{
public:
    TTempFile(const QString& target, const QString& action)
    {
        QTemporaryFile file(QFileInfo(target).absolutePath() + u'/' + TempPrefix(target) +
                            QString(TempSuffixLength, u'X'));
        file.setAutoRemove(false);
        if (!file.open())
            throw EEngineError(
                QStringLiteral("Cannot %1 table %2: %3").arg(action, target, file.errorString()));
        m_path = file.fileName();
        // The lock marks the copy as in use, so another program's clean-up leaves it alone.
        m_lock = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
        if (m_lock >= 0)
            ::flock(m_lock, LOCK_EX);
    }
    ~TTempFile()
    {
        if (!m_kept) {
            QFile::remove(m_path);
            QFile::remove(m_path + JournalSuffix);
        }
        if (m_lock >= 0)
            ::close(m_lock);
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const QString& Path() const { return m_path; }
    void Keep() { m_kept = true; }

private:
    QString m_path;
    int m_lock = -1;
    bool m_kept = false;
};

// Moves the finished file into place; without replace an existing target is never overwritten.
void MoveIntoPlace(TTempFile& temp, const QString& target, bool replace, const QString& action)
{
    const QByteArray from = QFile::encodeName(temp.Path());
    const QByteArray to = QFile::encodeName(target);
    // The temporary file is private to its owner; the table keeps the original's mode, or a new
    // file's usual one.
    struct stat original {
    };
    mode_t mode = 0;
    if (replace && ::stat(to.constData(), &original) == 0) {
        mode = original.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::chmod(from.constData(), mode);
    SyncPath(temp.Path());
    int rc = replace ? std::rename(from.constData(), to.constData())
                     : ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (rc != 0 && !replace &&
        errno == EINVAL) // file system without renameat2: a hard link cannot overwrite either
        rc = ::link(from.constData(), to.constData());
    if (rc != 0 && errno == EEXIST)
        throw EEngineError(QStringLiteral("Table already exists: %1").arg(target));
    if (rc != 0)
        throw EEngineError(QStringLiteral("Cannot %1 table %2: %3")
                               .arg(action, target, QString::fromLocal8Bit(strerror(errno))));
    if (!replace)
        QFile::remove(temp.Path());
    temp.Keep();
    SyncPath(QFileInfo(target).absolutePath());
}

} // namespace

void RemoveStaleTempFiles(const QString& tablePath)
{
    const QString prefix = TempPrefix(tablePath);
    const QDir folder = QFileInfo(tablePath).absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!name.startsWith(prefix))
            continue;
        QString suffix = name.mid(prefix.size());
        if (suffix.endsWith(JournalSuffix))
            suffix.chop(JournalSuffix.size());
        const bool ours = suffix.size() == TempSuffixLength &&
                          std::all_of(suffix.begin(), suffix.end(),
                                      [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 0x80; });
        if (ours && Abandoned(folder.filePath(prefix + suffix)))
            QFile::remove(folder.filePath(name));
    }
}

namespace
{

// The number written with `count` digits at `from`, or -1 when one of them is not a digit.
int Digits(const std::string& text, size_t from, size_t count)
{
    int number = 0;
    for (size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        number = number * 10 + (text[i] - '0');
    }
    return number;
}

// Stored dates are "yyyy-MM-dd": read by hand, as a chart walk decodes thousands of them. Any other
// text goes through the general ISO reader.
QDate DecodeDate(const std::string& text)
{
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        const int year = Digits(text, 0, 4);
        const int month = Digits(text, 5, 2);
        const int day = Digits(text, 8, 2);
        if (year >= 0 && month >= 0 && day >= 0 && QDate::isValid(year, month, day))
            return QDate(year, month, day);
    }
    return QDate::fromString(QLatin1String(text.data(), qsizetype(text.size())), Qt::ISODate);
}

// Stored times are "HH:mm:ss", read by hand like the dates; others (with milliseconds) go the long way.
QTime DecodeTime(const std::string& text)
{
    if (text.size() == 8 && text[2] == ':' && text[5] == ':') {
        const int hour = Digits(text, 0, 2);
        const int minute = Digits(text, 3, 2);
        const int second = Digits(text, 6, 2);
        if (hour >= 0 && minute >= 0 && second >= 0 && QTime::isValid(hour, minute, second))
            return QTime(hour, minute, second);
    }
    return QTime::fromString(QLatin1String(text.data(), qsizetype(text.size())), Qt::ISODateWithMs);
}

} // namespace

QVariant Decode(const TCell& cell, TFieldType type)
{
    if (cell.null)
        return {};
    switch (type) {
    case TFieldType::AutoInc:
        return cell.integer;
    case TFieldType::Float:
        return cell.real;
    case TFieldType::Date:
        return DecodeDate(cell.text);
    case TFieldType::Time:
        return DecodeTime(cell.text);
    case TFieldType::Memo:
        return QString::fromUtf8(cell.text.data(), qsizetype(cell.text.size()));
    }
    return {};
}

TStmt::TStmt(const TConnection& connection, const QString& sql) : m_connection(connection)
{
    const QByteArray text = sql.toUtf8();
    const int rc =
        sqlite3_prepare_v2(connection.Handle(), text.constData(), int(text.size()), &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        connection.Fail(rc, QStringLiteral("read"));
}

TStmt::~TStmt()
{
    sqlite3_finalize(m_stmt);
}

void TStmt::Bind(int index, const QVariant& value, TFieldType type)
{
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else if (type == TFieldType::AutoInc) {
        rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
    } else if (type == TFieldType::Float) {
        rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
    } else {
        const QString text = type == TFieldType::Date   ? value.toDate().toString(Qt::ISODate)
                             : type == TFieldType::Time ? value.toTime().toString(QStringLiteral("HH:mm:ss"))
                                                        : value.toString();
        const QByteArray utf8 = text.toUtf8();
        rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK)
        m_connection.Fail(rc, QStringLiteral("read"));
}

bool TStmt::Step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    sqlite3_reset(m_stmt);
    if (rc != SQLITE_DONE)
        m_connection.Fail(rc,
                          sqlite3_stmt_readonly(m_stmt) ? QStringLiteral("read") : QStringLiteral("write"));
    return false;
}

void TStmt::Reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

void TStmt::ReadRow(const std::vector<TColumnDef>& columns, TRow& row) const
{
    row.resize(columns.size() + 1);
    row[0].null = false;
    row[0].integer = sqlite3_column_int64(m_stmt, 0);
    for (size_t i = 0; i < columns.size(); ++i) {
        const int c = int(i) + 1;
        TCell& cell = row[c];
        cell.null = sqlite3_column_type(m_stmt, c) == SQLITE_NULL;
        if (cell.null)
            continue;
        switch (columns[i].type) {
        case TFieldType::AutoInc:
            cell.integer = sqlite3_column_int64(m_stmt, c);
            break;
        case TFieldType::Float:
            cell.real = sqlite3_column_double(m_stmt, c);
            break;
        default:
            cell.text.assign(reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c)),
                             size_t(sqlite3_column_bytes(m_stmt, c)));
        }
    }
}

qint64 TStmt::Integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::shared_ptr<TConnection> TConnection::Open(const QString& path, const QStringList& passwords)
{
    if (!QFileInfo(path).isFile())
        throw EEngineError(QStringLiteral("Table does not exist: %1").arg(path));
    TChecked checked = CheckFile(path, passwords);
    THandle handle;
    const int rc = OpenHandle(path, SQLITE_OPEN_READWRITE, checked.password, handle);
    if (rc != SQLITE_OK)
        throw EEngineError(QStringLiteral("Cannot open table %1: %2").arg(path, SqliteText(handle.db, rc)),
                           rc);
    SetDurable(handle.db);
    RemoveStaleTempFiles(path);
    return std::shared_ptr<TConnection>(
        new TConnection(handle.Release(), path, std::move(checked.password), std::move(checked.columns)));
}

TConnection::TConnection(sqlite3* db, QString path, QString password, std::vector<TColumnDef> columns)
    : m_db(db), m_path(std::move(path)), m_password(std::move(password)), m_columns(std::move(columns))
{
    FileId(m_path, m_device, m_inode);
}

TConnection::~TConnection()
{
    sqlite3_close_v2(m_db);
}

bool TConnection::SameFile() const
{
    quint64 device = 0;
    quint64 inode = 0;
    return FileId(m_path, device, inode) && device == m_device && inode == m_inode;
}

void TConnection::Exec(const QString& sql) const
{
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        Fail(rc, QStringLiteral("write"));
}

void TConnection::Fail(int rc, const QString& action) const
{
    if (IsBusy(rc))
        Busy(m_path);
    throw EEngineError(QStringLiteral("Cannot %1 table %2: %3").arg(action, m_path, SqliteText(m_db, rc)),
                       rc);
}

TTransaction::TTransaction(const TConnection& connection) : m_connection(connection)
{
    connection.Exec(QStringLiteral("BEGIN IMMEDIATE"));
}

TTransaction::~TTransaction()
{
    if (!m_done)
        sqlite3_exec(m_connection.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void TTransaction::Commit()
{
    m_connection.Exec(QStringLiteral("COMMIT"));
    m_done = true;
}

QString QuotedName(const QString& name)
{
    return u'"' + name + u'"';
}

QString ColumnList(const std::vector<TColumnDef>& columns)
{
    QStringList names;
    for (const TColumnDef& column : columns)
        names << QuotedName(column.name);
    return names.join(u", ");
}

void CheckColumns(const std::vector<TColumnDef>& columns)
{
    if (columns.empty())
        throw EEngineError(QStringLiteral("A table needs at least one column"));
    QStringList seen;
    int counters = 0;
    for (const TColumnDef& column : columns) {
        if (!ValidIdentifier(column.name))
            throw EEngineError(QStringLiteral("Invalid column name '%1'").arg(column.name));
        if (seen.contains(column.name, Qt::CaseInsensitive))
            throw EEngineError(QStringLiteral("Duplicate column name '%1'").arg(column.name));
        seen << column.name;
        if (column.type == TFieldType::AutoInc && ++counters > 1)
            throw EEngineError(QStringLiteral("A table may have only one AUTOINC column"));
    }
}

void CreateTableFile(const QString& path, const std::vector<TColumnDef>& columns)
{
    CheckColumns(columns);
    if (QFileInfo::exists(path))
        throw EEngineError(QStringLiteral("Table already exists: %1").arg(path));
    RemoveStaleTempFiles(path);
    const QString action = QStringLiteral("create");
    TTempFile temp(path, action);
    {
        THandle handle;
        const int rc = OpenHandle(temp.Path(), SQLITE_OPEN_READWRITE, QString(), handle);
        if (rc != SQLITE_OK)
            throw EEngineError(
                QStringLiteral("Cannot create table %1: %2").arg(path, SqliteText(handle.db, rc)), rc);
        SetDurable(handle.db);
        TConnection connection(handle.Release(), temp.Path(), QString(), columns);
        QStringList declarations;
        for (const TColumnDef& column : columns)
            declarations << QuotedName(column.name) + u' ' + SqlType(column.type);
        TTransaction transaction(connection);
        connection.Exec(QStringLiteral("PRAGMA application_id=%1").arg(ApplicationId));
        connection.Exec(
            QStringLiteral("CREATE TABLE TableColumns (Position INTEGER PRIMARY KEY, Name TEXT NOT NULL, "
                           "Kind TEXT NOT NULL)"));
        connection.Exec(u"CREATE TABLE TableRows (" + declarations.join(u", ") + u')');
        TStmt insert(connection,
                     QStringLiteral("INSERT INTO TableColumns (Position, Name, Kind) VALUES (?, ?, ?)"));
        for (size_t i = 0; i < columns.size(); ++i) {
            insert.Bind(1, qint64(i + 1), TFieldType::AutoInc);
            insert.Bind(2, columns[i].name, TFieldType::Memo);
            insert.Bind(3, KindName(columns[i].type), TFieldType::Memo);
            insert.Step();
            insert.Reset();
        }
        transaction.Commit();
    }
    MoveIntoPlace(temp, path, false, action);
}

void ProtectTableFile(const QString& path, const QString& password, const QStringList& passwords)
{
    if (password.isEmpty())
        throw EEngineError(QStringLiteral("Cannot protect table %1 with an empty password").arg(path));
    const QString action = QStringLiteral("protect");
    // A table the user may not write is left as it is, though the rename could replace it.
    if (::access(QFile::encodeName(path).constData(), W_OK) != 0 && errno != ENOENT)
        throw EEngineError(QStringLiteral("Cannot %1 table %2: %3")
                               .arg(action, path, QString::fromLocal8Bit(strerror(errno))));
    TTempFile temp(path, action);
    {
        const std::shared_ptr<TConnection> source = TConnection::Open(path, passwords);
        TStmt attach(*source, QStringLiteral("ATTACH DATABASE ? AS protected KEY ?"));
        attach.Bind(1, temp.Path(), TFieldType::Memo);
        attach.Bind(2, password, TFieldType::Memo);
        attach.Step();
        source->Exec(QStringLiteral("SELECT sqlcipher_export('protected')"));
        source->Exec(QStringLiteral("PRAGMA protected.application_id=%1").arg(ApplicationId));
        source->Exec(QStringLiteral("DETACH DATABASE protected"));
    }
    // The copy must open with the password before it replaces the original.
    TConnection::Open(temp.Path(), {password});
    MoveIntoPlace(temp, path, true, action);
}

} // namespace EngineStore
