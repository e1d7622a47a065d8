#include "data/Engine.h"

#include "data/Convert.h"
#include "data/EngineStore.h"
#include "data/Statement.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>
#include <QVarLengthArray>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>

using namespace EngineStore;

namespace
{

// How a dataset moves over its rows. Each step reads into `row` only when it finds a row.
class TCursor
{
public:
    virtual ~TCursor() = default;
    virtual bool First(TRow& row) = 0;
    virtual bool Last(TRow& row) = 0;
    virtual bool Next(TRow& row) = 0;
    virtual bool Prior(TRow& row) = 0;
    virtual bool HasBefore(const TRow& row) = 0;
    virtual bool HasAfter(const TRow& row) = 0;
};

// A table pages by row id with one-row statements, so each step costs the same at any table size.
class TTableCursor : public TCursor
{
public:
    explicit TTableCursor(std::shared_ptr<TConnection> connection) : m_connection(std::move(connection)) {}

    bool First(TRow& row) override { return Fetch(m_first, u" ORDER BY _rowid_ LIMIT 1", std::nullopt, row); }
    bool Last(TRow& row) override
    {
        return Fetch(m_last, u" ORDER BY _rowid_ DESC LIMIT 1", std::nullopt, row);
    }
    bool Next(TRow& row) override
    {
        return Fetch(m_next, u" WHERE _rowid_ > ? ORDER BY _rowid_ LIMIT 1", row[0].integer, row);
    }
    bool Prior(TRow& row) override
    {
        return Fetch(m_prior, u" WHERE _rowid_ < ? ORDER BY _rowid_ DESC LIMIT 1", row[0].integer, row);
    }
    bool Reload(qint64 id, TRow& row) { return Fetch(m_reload, u" WHERE _rowid_ = ?", id, row); }
    bool HasBefore(const TRow& row) override { return Exists(m_before, u"<", row[0].integer); }
    bool HasAfter(const TRow& row) override { return Exists(m_after, u">", row[0].integer); }

    qint64 Insert(const std::vector<QVariant>& values)
    {
        const std::vector<size_t> columns = Stored();
        if (!m_insert) {
            QStringList names;
            QStringList marks;
            for (size_t i : columns) {
                names << QuotedName(Columns()[i].name);
                marks << QStringLiteral("?");
            }
            m_insert = Prepare(columns.empty() ? QStringLiteral("INSERT INTO TableRows DEFAULT VALUES")
                                               : u"INSERT INTO TableRows (" + names.join(u", ") +
                                                     u") VALUES (" + marks.join(u", ") + u')');
        }
        Write(*m_insert, columns, values);
        return sqlite3_last_insert_rowid(m_connection->Handle());
    }

    void Update(qint64 id, const std::vector<QVariant>& values)
    {
        const std::vector<size_t> columns = Stored();
        if (!m_update) {
            QStringList sets;
            for (size_t i : columns)
                sets << QuotedName(Columns()[i].name) + u" = ?";
            // A table of only a counter column has nothing to set; the statement still checks the row.
            m_update = Prepare(u"UPDATE TableRows SET " +
                               (columns.empty() ? QStringLiteral("_rowid_ = _rowid_") : sets.join(u", ")) +
                               u" WHERE _rowid_ = ?");
        }
        m_update->Bind(int(columns.size()) + 1, id, TFieldType::AutoInc);
        Write(*m_update, columns, values);
        if (sqlite3_changes(m_connection->Handle()) == 0)
            throw EEngineError(
                QStringLiteral("Record was deleted by another program: %1").arg(m_connection->Path()));
    }

    void Remove(qint64 id)
    {
        if (!m_delete)
            m_delete = Prepare(QStringLiteral("DELETE FROM TableRows WHERE _rowid_ = ?"));
        m_delete->Bind(1, id, TFieldType::AutoInc);
        Write(*m_delete, {}, {});
    }

private:
    const std::vector<TColumnDef>& Columns() const { return m_connection->Columns(); }

    std::unique_ptr<TStmt> Prepare(const QString& sql) const
    {
        return std::make_unique<TStmt>(*m_connection, sql);
    }

    // Every column but the counter, which the engine assigns.
    std::vector<size_t> Stored() const
    {
        std::vector<size_t> columns;
        for (size_t i = 0; i < Columns().size(); ++i)
            if (Columns()[i].type != TFieldType::AutoInc)
                columns.push_back(i);
        return columns;
    }

    // One committed transaction per change, so a post or delete is on disk when it returns.
    void Write(TStmt& stmt, const std::vector<size_t>& columns, const std::vector<QVariant>& values)
    {
        for (size_t k = 0; k < columns.size(); ++k)
            stmt.Bind(int(k) + 1, values[columns[k]], Columns()[columns[k]].type);
        TTransaction transaction(*m_connection);
        try {
            stmt.Step();
        } catch (...) {
            stmt.Reset();
            throw;
        }
        stmt.Reset();
        transaction.Commit();
    }

    bool Fetch(std::unique_ptr<TStmt>& stmt, const char16_t* tail, std::optional<qint64> id, TRow& row)
    {
        if (!stmt)
            stmt =
                Prepare(u"SELECT _rowid_, " + ColumnList(Columns()) + u" FROM TableRows" + QStringView(tail));
        if (id)
            stmt->Bind(1, *id, TFieldType::AutoInc);
        const bool found = stmt->Step();
        if (found) {
            stmt->ReadRow(Columns(), row);
            stmt->Reset();
        }
        return found;
    }

    bool Exists(std::unique_ptr<TStmt>& stmt, const char16_t* op, qint64 id)
    {
        if (!stmt)
            stmt = Prepare(u"SELECT 1 FROM TableRows WHERE _rowid_ " + QStringView(op) + u" ? LIMIT 1");
        stmt->Bind(1, id, TFieldType::AutoInc);
        const bool found = stmt->Step();
        if (found)
            stmt->Reset();
        return found;
    }

    std::shared_ptr<TConnection> m_connection; // declared first: the statements go before it
    std::unique_ptr<TStmt> m_first, m_last, m_next, m_prior, m_reload, m_before, m_after;
    std::unique_ptr<TStmt> m_insert, m_update, m_delete;
};

struct TBoundValue {
    QVariant value;
    TFieldType type;
};

// A query steps one prepared statement forward; it knows its end only once it has reached it.
class TQueryCursor : public TCursor
{
public:
    TQueryCursor(std::shared_ptr<TConnection> connection, const QString& sql, std::vector<TBoundValue> values)
        : m_connection(std::move(connection)), m_stmt(*m_connection, sql), m_values(std::move(values))
    {
    }

    bool First(TRow& row) override
    {
        if (m_position == 0)
            return true; // still on the first row: stepping again would repeat the whole sort
        m_stmt.Reset();
        for (size_t i = 0; i < m_values.size(); ++i)
            m_stmt.Bind(int(i) + 1, m_values[i].value, m_values[i].type);
        m_position = -1;
        m_done = false;
        return Next(row);
    }
    bool Next(TRow& row) override
    {
        if (m_done)
            return false;
        if (!m_stmt.Step()) {
            m_done = true;
            return false;
        }
        m_stmt.ReadRow(m_connection->Columns(), row);
        ++m_position;
        return true;
    }
    bool Last(TRow& row) override
    {
        if (!First(row))
            return false;
        while (Next(row)) {
        }
        return true;
    }
    bool Prior(TRow& row) override
    {
        if (m_position <= 0)
            return false;
        const qint64 target = m_position - 1;
        First(row);
        while (m_position < target)
            Next(row);
        return true;
    }
    bool HasBefore(const TRow&) override { return m_position > 0; }
    bool HasAfter(const TRow&) override { return !m_done; }

private:
    std::shared_ptr<TConnection> m_connection;
    TStmt m_stmt;
    std::vector<TBoundValue> m_values;
    qint64 m_position = -1;
    bool m_done = true;
};

QString ClosedText()
{
    return QStringLiteral("Cannot perform this operation on a closed dataset");
}

// The file a dataset names inside its alias's folder, as the cache and the messages name it.
QString TablePath(const QString& folder, const QString& fileName)
{
    QString name = fileName;
    while (name.endsWith(u' '))
        name.chop(1);
    if (name.isEmpty() || name == u"." || name == u".." || name.contains(u'/') || name.contains(u'\\'))
        throw EEngineError(QStringLiteral("Invalid table name '%1'").arg(fileName));
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        throw EEngineError(QStringLiteral("Folder does not exist: %1").arg(folder));
    return QDir::cleanPath(QDir(folder).absoluteFilePath(name));
}

std::vector<TSession*>& Sessions()
{
    static std::vector<TSession*> sessions;
    return sessions;
}

int g_engineStarts = 0;

// Dates and times as day numbers (days since 30 Dec 1899, the time of day as the fraction), so a
// value of one kind can be stored in a column of another.
QDate DayZero()
{
    return QDate(1899, 12, 30);
}

std::optional<double> DayNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDate:
        return double(DayZero().daysTo(value.toDate()));
    case QMetaType::QTime:
        return value.toTime().msecsSinceStartOfDay() / 86400000.0;
    case QMetaType::QDateTime:
        return double(DayZero().daysTo(value.toDateTime().date())) +
               value.toDateTime().time().msecsSinceStartOfDay() / 86400000.0;
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toDouble();
    default:
        return std::nullopt;
    }
}

QVariant FromDayNumber(double number, TFieldType type)
{
    const double day = std::floor(number);
    switch (type) {
    case TFieldType::Date:
        return DayZero().addDays(qint64(day));
    case TFieldType::Time:
        return QTime::fromMSecsSinceStartOfDay(int(std::llround((number - day) * 86400000.0) % 86400000));
    case TFieldType::AutoInc:
        return qint64(std::llround(number));
    default:
        return number;
    }
}

// A text value is read as a time, then a short date, then a number; a number column reads a number.
std::optional<double> TextNumber(const QString& text, TFieldType type)
{
    if (type == TFieldType::Float)
        return TextToFloat(text);
    if (const std::optional<QTime> time = TextToTime(text))
        return DayNumber(*time);
    if (const std::optional<QDate> date = TextToDate(text))
        return DayNumber(*date);
    return TextToFloat(text);
}

QVariant Coerce(const QVariant& value, const TField& field)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (field.DataType() == TFieldType::Memo)
        return value.toString();
    const std::optional<double> number = value.typeId() == QMetaType::QString
                                             ? TextNumber(value.toString(), field.DataType())
                                             : DayNumber(value);
    if (!number)
        throw EConvertError(QStringLiteral("Invalid value for field '%1'").arg(field.FieldName()));
    return FromDayNumber(*number, field.DataType());
}

QString VariantTypeName(TFieldType type)
{
    switch (type) {
    case TFieldType::AutoInc:
        return QStringLiteral("Int64");
    case TFieldType::Float:
        return QStringLiteral("Double");
    case TFieldType::Memo:
        return QStringLiteral("String");
    default:
        return QStringLiteral("Date");
    }
}

[[noreturn]] void NotConvertible(const QString& from, const QString& to)
{
    throw EVariantError(
        QStringLiteral("Could not convert variant of type (%1) into type (%2)").arg(from, to));
}

// The short date text of a date column, asked for on every row a walk or a control shows. The locale's
// format is split once into its pieces and reused while the format and the digits stay the same; a
// format with any field but d, dd, M, MM and yyyy, quoted text, other digits or a year outside 1000 to
// 9999 goes to DateText.
class TShortDateText
{
public:
    QString Text(QDate date)
    {
        const QLocale locale;
        const QString format = ShortDateFormat(locale);
        const QString zero = locale.zeroDigit();
        if (format != m_format || zero != m_zero)
            Compile(format, zero);
        int year = 0;
        int month = 0;
        int day = 0;
        date.getDate(&year, &month, &day);
        if (!m_plain || year < 1000 || year > 9999)
            return DateText(date, locale);
        QVarLengthArray<char16_t, 32> text;
        for (const TPiece& piece : m_pieces) {
            switch (piece.kind) {
            case TKind::Text:
                text.append(reinterpret_cast<const char16_t*>(piece.text.constData()), piece.text.size());
                break;
            case TKind::Day:
                AppendNumber(text, day, piece.width);
                break;
            case TKind::Month:
                AppendNumber(text, month, piece.width);
                break;
            case TKind::Year:
                AppendNumber(text, year, 4);
                break;
            }
        }
        return QString(reinterpret_cast<const QChar*>(text.constData()), text.size());
    }

private:
    enum class TKind { Text, Day, Month, Year };
    struct TPiece {
        TKind kind;
        int width;
        QString text;
    };

    // value from 0 to 9999, zero-padded to width
    static void AppendNumber(QVarLengthArray<char16_t, 32>& text, int value, int width)
    {
        char16_t digits[4];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0 && count < 4);
        for (int i = count; i < width; ++i)
            text.append(u'0');
        while (count > 0)
            text.append(digits[--count]);
    }

    void Compile(const QString& format, const QString& zero)
    {
        m_format = format;
        m_zero = zero;
        m_pieces.clear();
        m_plain = zero == u"0";
        for (qsizetype i = 0; i < format.size() && m_plain;) {
            const QChar c = format.at(i);
            qsizetype run = 1;
            while (i + run < format.size() && format.at(i + run) == c)
                ++run;
            if (c == u'd' && run <= 2)
                m_pieces.push_back({TKind::Day, int(run), {}});
            else if (c == u'M' && run <= 2)
                m_pieces.push_back({TKind::Month, int(run), {}});
            else if (c == u'y' && run == 4)
                m_pieces.push_back({TKind::Year, 4, {}});
            else if (c == u'\'' || (c.unicode() < 128 && c.isLetter()))
                m_plain = false;
            else
                m_pieces.push_back({TKind::Text, 0, format.mid(i, run)});
            i += run;
        }
    }

    QString m_format;
    QString m_zero;
    bool m_plain = false;
    std::vector<TPiece> m_pieces;
};

QString ShortDateText(QDate date)
{
    static TShortDateText cache; // the engine runs on the GUI thread only
    return cache.Text(date);
}

// The long time text of a time column. The format made from the locale's own long time format is
// worked out again only when that one changes.
QString LongTimeText(QTime time)
{
    static QString source;
    static QString format;
    const QLocale locale;
    const QString current = locale.timeFormat(QLocale::LongFormat);
    if (current != source || format.isEmpty()) {
        source = current;
        format = LongTimeFormat(locale);
    }
    return locale.toString(time, format);
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// Dataset state

struct TDataSet::TImpl {
    TImpl(TDataSet* owner, TSession* session) : owner(owner), session(session) {}

    TDataSet* owner;
    TSession* session;
    QString alias;
    QString tableName; // TTable
    QString sql;       // TQuery
    TDataSetState state = TDataSetState::Inactive;
    bool modified = false;
    bool bof = true;
    bool eof = true;
    bool hasRow = false;
    std::shared_ptr<TConnection> connection;
    std::unique_ptr<TCursor> cursor;
    TTableCursor* table = nullptr; // the cursor, when it pages a table
    std::vector<std::unique_ptr<TField>> fields;
    TRow row;
    std::vector<QVariant> pending; // the row being edited or inserted

    [[noreturn]] void Fail(const QString& message) const
    {
        throw EDatasetError(owner->objectName(), message);
    }
    void CheckActive() const
    {
        if (state == TDataSetState::Inactive)
            Fail(ClosedText());
    }
    void CheckInactive() const
    {
        if (state != TDataSetState::Inactive)
            Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
    }
    bool Editing() const { return state == TDataSetState::Edit || state == TDataSetState::Insert; }
    void CheckEditing() const
    {
        CheckActive();
        if (!Editing())
            Fail(QStringLiteral("Dataset not in edit or insert mode"));
    }
    void SetState(TDataSetState next)
    {
        if (state != next) {
            state = next;
            emit owner->StateChanged();
        }
    }
    void Changed() { emit owner->DataChanged(); }

    std::shared_ptr<TConnection> Connect(const QString& fileName);
    void Start(std::shared_ptr<TConnection> connection, std::unique_ptr<TCursor> cursor, TTableCursor* table);
    void Release();
    void BuildFields(const std::vector<TColumnDef>& columns);

    QVariant Value(size_t index) const
    {
        if (Editing())
            return pending[index];
        if (state == TDataSetState::Inactive || !hasRow || index + 1 >= row.size())
            return {};
        return Decode(row[index + 1], fields[index]->DataType());
    }
    // Answered from the stored cell, without decoding the value.
    bool IsNull(size_t index) const
    {
        if (Editing())
            return pending[index].isNull();
        return state == TDataSetState::Inactive || !hasRow || index + 1 >= row.size() || row[index + 1].null;
    }
    void CheckWritable(const TField& field) const
    {
        CheckEditing();
        if (field.DataType() == TFieldType::AutoInc)
            Fail(QStringLiteral("Field '%1' cannot be modified").arg(field.FieldName()));
    }
    void SetPending(size_t index, QVariant value)
    {
        pending[index] = std::move(value);
        modified = true;
        Changed();
    }

    void StartInsert()
    {
        pending.assign(fields.size(), QVariant());
        modified = false;
        SetState(TDataSetState::Insert);
        Changed();
    }
    void DropEdit()
    {
        pending.clear();
        modified = false;
        SetState(TDataSetState::Browse);
        Changed();
    }
    void Store()
    {
        const qint64 id = state == TDataSetState::Insert
                              ? table->Insert(pending)
                              : (table->Update(row[0].integer, pending), row[0].integer);
        hasRow = table->Reload(id, row) || hasRow;
        bof = eof = false;
        DropEdit();
    }
    // Paging or starting a new row while editing keeps the changes, or drops an untouched row.
    void LeaveEdit()
    {
        if (!Editing())
            return;
        if (modified)
            Store();
        else
            DropEdit();
    }
};

struct TSession::TImpl {
    bool active = false;
    QString netFileDir;
    QString privateDir;
    QString activeNetFileDir; // the folders in force since the last start
    QString activePrivateDir;
    std::map<QString, std::pair<QString, QString>> aliases; // folded name -> (name, folder)
    QStringList passwords;
    std::map<QString, std::shared_ptr<TConnection>> connections; // one per table file
    std::vector<TDataSet*> dataSets;

    void Start()
    {
        if (active)
            return;
        activeNetFileDir = netFileDir;
        activePrivateDir = privateDir;
        active = true;
    }

    std::shared_ptr<TConnection> Connection(const QString& path)
    {
        Start();
        auto it = connections.find(path);
        if (it != connections.end() && it->second->SameFile())
            return it->second;
        std::shared_ptr<TConnection> connection = TConnection::Open(path, passwords);
        connections[path] = connection;
        return connection;
    }

    bool InUse(const QString& path) const
    {
        return std::any_of(dataSets.begin(), dataSets.end(), [&](const TDataSet* dataSet) {
            return dataSet->d->connection && dataSet->d->connection->Path() == path;
        });
    }
};

std::shared_ptr<TConnection> TDataSet::TImpl::Connect(const QString& fileName)
{
    if (!session)
        throw EEngineError(QStringLiteral("The dataset has no session"));
    return session->d->Connection(TablePath(session->AliasPath(alias), fileName));
}

void TDataSet::TImpl::BuildFields(const std::vector<TColumnDef>& columns)
{
    const bool same =
        std::equal(fields.begin(), fields.end(), columns.begin(), columns.end(),
                   [](const auto& field, const TColumnDef& column) {
                       return field->FieldName() == column.name && field->DataType() == column.type;
                   });
    if (same)
        return;
    fields.clear();
    for (const TColumnDef& column : columns) {
        fields.push_back(std::make_unique<TField>(owner, column.name, column.type));
        fields.back()->m_index = fields.size() - 1;
    }
}

void TDataSet::TImpl::Start(std::shared_ptr<TConnection> opened, std::unique_ptr<TCursor> moved,
                            TTableCursor* tableCursor)
{
    BuildFields(opened->Columns());
    hasRow = moved->First(row);
    connection = std::move(opened);
    cursor = std::move(moved);
    table = tableCursor;
    bof = true;
    eof = !hasRow;
    SetState(TDataSetState::Browse);
    Changed();
}

void TDataSet::TImpl::Release()
{
    table = nullptr;
    cursor.reset();
    connection.reset();
    hasRow = false;
    pending.clear();
    modified = false;
    bof = eof = true;
}

// ---------------------------------------------------------------------------------------------------------
// TField

TField::TField(TDataSet* dataSet, QString fieldName, TFieldType dataType)
    : m_dataSet(dataSet), m_fieldName(std::move(fieldName)), m_dataType(dataType)
{
}

bool TField::IsNull() const
{
    return m_dataSet->d->IsNull(m_index);
}

QVariant TField::Value() const
{
    return m_dataSet->d->Value(m_index);
}

void TField::SetValue(const QVariant& value)
{
    m_dataSet->d->CheckWritable(*this);
    m_dataSet->d->SetPending(m_index, Coerce(value, *this));
}

void TField::Clear()
{
    m_dataSet->d->CheckWritable(*this);
    m_dataSet->d->SetPending(m_index, QVariant());
}

QString TField::DisplayText() const
{
    const QVariant value = Value();
    if (value.isNull())
        return {};
    switch (m_dataType) {
    case TFieldType::Date:
        return ShortDateText(value.toDate());
    case TFieldType::Time:
        return LongTimeText(value.toTime());
    case TFieldType::Float:
        return FloatText(value.toDouble());
    default:
        return value.toString();
    }
}

void TField::SetText(const QString& text)
{
    m_dataSet->d->CheckWritable(*this);
    QVariant value;
    if (m_dataType == TFieldType::Memo) {
        if (!text.isEmpty())
            value = text;
    } else if (!text.trimmed().isEmpty()) {
        switch (m_dataType) {
        case TFieldType::Date:
            if (const std::optional<QDate> date = TextToDate(text))
                value = *date;
            else
                throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
            break;
        case TFieldType::Time:
            if (const std::optional<QTime> time = TextToTime(text))
                value = *time;
            else
                throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
            break;
        default:
            if (const std::optional<double> number = TextToFloat(text))
                value = *number;
            else
                throw EConvertError(QStringLiteral("'%1' is not a valid floating point value for field '%2'")
                                        .arg(text, m_fieldName));
        }
    }
    m_dataSet->d->SetPending(m_index, value);
}

QString TField::AsString() const
{
    if (IsNull())
        NotConvertible(QStringLiteral("Null"), QStringLiteral("String"));
    return DisplayText();
}

int TField::AsInteger() const
{
    const QVariant value = Value();
    if (value.isNull())
        NotConvertible(QStringLiteral("Null"), QStringLiteral("Integer"));
    std::optional<double> number =
        m_dataType == TFieldType::Memo ? TextToFloat(value.toString()) : DayNumber(value);
    if (!number)
        NotConvertible(QStringLiteral("String"), QStringLiteral("Integer"));
    // The default rounding mode sends halves to the even neighbour: 98.5 -> 98, 99.5 -> 100.
    const double rounded = std::nearbyint(*number);
    if (!std::isfinite(rounded) || rounded < double(INT_MIN) || rounded > double(INT_MAX))
        throw EVariantError(
            QStringLiteral("Overflow while converting variant of type (%1) into type (Integer)")
                .arg(VariantTypeName(m_dataType)));
    return int(rounded);
}

// ---------------------------------------------------------------------------------------------------------
// TDataSet

TDataSet::TDataSet(TSession* session, QObject* parent)
    : QObject(parent), d(std::make_unique<TImpl>(this, session)), m_session(session)
{
    if (session)
        session->d->dataSets.push_back(this);
}

TDataSet::~TDataSet()
{
    for (TDataSource* source : m_sources)
        source->m_dataSet = nullptr;
    d->Release();
    if (d->session)
        std::erase(d->session->d->dataSets, this);
}

void TDataSet::SetDatabaseName(const QString& alias)
{
    d->CheckInactive();
    d->alias = alias;
}

QString TDataSet::DatabaseName() const
{
    return d->alias;
}

bool TDataSet::Active() const
{
    return d->state != TDataSetState::Inactive;
}

void TDataSet::SetActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Close()
{
    if (!Active())
        return;
    d->Release();
    d->SetState(TDataSetState::Inactive);
    d->Changed();
}

TDataSetState TDataSet::State() const
{
    return d->state;
}

bool TDataSet::Modified() const
{
    return d->modified;
}

bool TDataSet::IsEmpty() const
{
    return !d->hasRow && d->state != TDataSetState::Insert;
}

void TDataSet::First()
{
    d->CheckActive();
    d->LeaveEdit();
    d->hasRow = d->cursor->First(d->row);
    d->bof = true;
    d->eof = !d->hasRow;
    d->Changed();
}

void TDataSet::Prior()
{
    d->CheckActive();
    d->LeaveEdit();
    const bool moved = d->hasRow && d->cursor->Prior(d->row);
    d->eof = !d->hasRow;
    d->bof = !moved;
    d->Changed();
}

void TDataSet::Next()
{
    d->CheckActive();
    d->LeaveEdit();
    const bool moved = d->hasRow && d->cursor->Next(d->row);
    d->bof = !d->hasRow;
    d->eof = !moved;
    d->Changed();
}

void TDataSet::Last()
{
    d->CheckActive();
    d->LeaveEdit();
    d->hasRow = d->cursor->Last(d->row);
    d->bof = !d->hasRow;
    d->eof = true;
    d->Changed();
}

bool TDataSet::Bof() const
{
    return d->bof;
}

bool TDataSet::Eof() const
{
    return d->eof;
}

bool TDataSet::AtFirst() const
{
    return !d->hasRow || !d->cursor->HasBefore(d->row);
}

bool TDataSet::AtLast() const
{
    return !d->hasRow || !d->cursor->HasAfter(d->row);
}

TField& TDataSet::FieldByName(const QString& name)
{
    for (const std::unique_ptr<TField>& field : d->fields)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return *field;
    d->Fail(QStringLiteral("Field '%1' not found").arg(name));
}

const std::vector<std::unique_ptr<TField>>& TDataSet::Fields() const
{
    return d->fields;
}

void TDataSet::UpdateRecord()
{
    if (!d->Editing())
        return;
    std::vector<std::function<void()>> updaters;
    for (const TDataSource* source : m_sources)
        for (const auto& [control, update] : source->m_updaters)
            updaters.push_back(update);
    for (const std::function<void()>& update : updaters)
        update();
}

// ---------------------------------------------------------------------------------------------------------
// TQuery

TQuery::TQuery(TSession* session, QObject* parent) : TDataSet(session, parent) {}

void TQuery::SetSQL(const QString& text)
{
    Close();
    d->sql = text;
}

QString TQuery::SQL() const
{
    return d->sql;
}

namespace
{

const TColumnDef& FindColumn(const TConnection& connection, const QString& name)
{
    for (const TColumnDef& column : connection.Columns())
        if (column.name.compare(name, Qt::CaseInsensitive) == 0)
            return column;
    throw EEngineError(QStringLiteral("Unknown column '%1' in table: %2").arg(name, connection.Path()));
}

QString SqlOperator(const QString& op)
{
    static const QStringList known = {QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("<"),
                                      QStringLiteral("<="), QStringLiteral(">"),  QStringLiteral(">=")};
    if (!known.contains(op))
        throw EEngineError(QStringLiteral("Invalid operator '%1'").arg(op));
    return known[known.indexOf(op)];
}

QVariant LiteralValue(const TCondition& condition, TFieldType type)
{
    const QString text = condition.literal.trimmed();
    switch (type) {
    case TFieldType::Date:
        return ParseDateLiteral(condition.literal);
    case TFieldType::Time: {
        QTime time = QTime::fromString(text, QStringLiteral("H:mm:ss"));
        if (!time.isValid())
            time = QTime::fromString(text, QStringLiteral("H:mm"));
        if (!time.isValid())
            throw EEngineError(QStringLiteral("Invalid time literal \"%1\"").arg(condition.literal));
        return time;
    }
    case TFieldType::Memo:
        return condition.literal;
    default: {
        bool ok = false;
        const double number = QLocale::c().toDouble(text, &ok);
        if (!ok)
            throw EEngineError(QStringLiteral("Invalid numeric literal \"%1\"").arg(condition.literal));
        return number;
    }
    }
}

// The SELECT as SQLite reads it: checked column names, fixed operators, every literal bound.
std::unique_ptr<TQueryCursor> SelectCursor(std::shared_ptr<TConnection> connection, const TSelect& select)
{
    QString sql = u"SELECT _rowid_, " + ColumnList(connection->Columns()) + u" FROM TableRows";
    std::vector<TBoundValue> values;
    for (const TCondition& condition : select.where) {
        const TColumnDef& column = FindColumn(*connection, condition.column);
        sql += (values.empty() ? u" WHERE " : u" AND ") + QuotedName(column.name) + u' ' +
               SqlOperator(condition.op) + u" ?";
        values.push_back({LiteralValue(condition, column.type), column.type});
    }
    sql += u" ORDER BY ";
    if (!select.orderBy.isEmpty())
        sql += QuotedName(FindColumn(*connection, select.orderBy).name) +
               (select.descending ? u" DESC, " : u" ASC, ");
    sql += u"_rowid_"; // rows that tie keep their stored order
    return std::make_unique<TQueryCursor>(std::move(connection), sql, std::move(values));
}

} // namespace

void TQuery::ExecSQL()
{
    const TStatement statement = ParseStatement(d->sql);
    const auto* create = std::get_if<TCreateTable>(&statement);
    if (!create)
        throw EEngineError(QStringLiteral("The statement returns rows: open it instead"));
    if (!d->session)
        throw EEngineError(QStringLiteral("The dataset has no session"));
    const QString path = TablePath(d->session->AliasPath(d->alias), create->fileName);
    CreateTableFile(path, create->columns);
    d->session->d->connections.erase(path); // one left from a file of that name removed meanwhile
}

void TQuery::Open()
{
    if (Active())
        return;
    const TStatement statement = ParseStatement(d->sql);
    const auto* select = std::get_if<TSelect>(&statement);
    if (!select)
        throw EEngineError(QStringLiteral("The statement does not return rows"));
    std::shared_ptr<TConnection> connection = d->Connect(select->fileName);
    d->Start(connection, SelectCursor(connection, *select), nullptr);
}

// ---------------------------------------------------------------------------------------------------------
// TTable

TTable::TTable(TSession* session, QObject* parent) : TDataSet(session, parent) {}

void TTable::SetTableName(const QString& fileName)
{
    d->CheckInactive();
    d->tableName = fileName;
}

QString TTable::TableName() const
{
    return d->tableName;
}

void TTable::Open()
{
    if (Active())
        return;
    std::shared_ptr<TConnection> connection = d->Connect(d->tableName);
    auto cursor = std::make_unique<TTableCursor>(connection);
    TTableCursor* table = cursor.get();
    d->Start(connection, std::move(cursor), table);
}

void TTable::Append()
{
    d->CheckActive();
    d->LeaveEdit();
    d->StartInsert();
}

void TTable::Insert()
{
    Append(); // rows are kept in stored order: a new row always goes at the end
}

void TTable::Edit()
{
    d->CheckActive();
    if (d->Editing())
        return;
    if (!d->hasRow) {
        d->StartInsert();
        return;
    }
    d->pending.clear();
    for (size_t i = 0; i < d->fields.size(); ++i)
        d->pending.push_back(d->Value(i));
    d->modified = false;
    d->SetState(TDataSetState::Edit);
}

void TTable::Post()
{
    d->CheckEditing();
    UpdateRecord();
    d->Store();
}

void TTable::Cancel()
{
    if (d->Editing())
        d->DropEdit();
}

void TTable::Delete()
{
    d->CheckActive();
    if (d->state == TDataSetState::Insert) {
        d->DropEdit();
        return;
    }
    if (!d->hasRow)
        d->Fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    d->table->Remove(d->row[0].integer);
    d->hasRow = d->table->Next(d->row) || d->table->Prior(d->row);
    d->bof = d->eof = !d->hasRow;
    d->DropEdit();
}

// ---------------------------------------------------------------------------------------------------------
// TDataSource

TDataSource::TDataSource(TDataSet* dataSet, QObject* parent) : QObject(parent), m_dataSet(dataSet)
{
    if (!dataSet)
        return;
    dataSet->m_sources.push_back(this);
    connect(dataSet, &TDataSet::StateChanged, this, &TDataSource::StateChanged);
    connect(dataSet, &TDataSet::DataChanged, this, &TDataSource::DataChanged);
}

TDataSource::~TDataSource()
{
    if (m_dataSet)
        std::erase(m_dataSet->m_sources, this);
}

void TDataSource::AddUpdater(QObject* control, std::function<void()> updateData)
{
    m_updaters.emplace_back(control, std::move(updateData));
    connect(control, &QObject::destroyed, this, [this, control] {
        std::erase_if(m_updaters, [&](const auto& entry) { return entry.first == control; });
    });
}

// ---------------------------------------------------------------------------------------------------------
// TSession

TSession::TSession(QObject* parent) : QObject(parent), d(std::make_unique<TImpl>())
{
    // Every engine call runs on the one GUI thread, so SQLite's per-call connection locks are dropped;
    // they cost more than reading a column. Only possible before SQLite's first use in the process.
    static const bool singleThreaded = sqlite3_config(SQLITE_CONFIG_MULTITHREAD) == SQLITE_OK;
    Q_UNUSED(singleThreaded)
    Sessions().push_back(this);
}

TSession::~TSession()
{
    std::erase(Sessions(), this);
    for (TDataSet* dataSet : d->dataSets) {
        dataSet->d->Release();
        dataSet->d->state = TDataSetState::Inactive;
        dataSet->d->session = nullptr;
        dataSet->m_session = nullptr;
    }
}

bool TSession::Active() const
{
    return d->active;
}

void TSession::SetActive(bool active)
{
    if (active) {
        d->Start();
        return;
    }
    const std::vector<TDataSet*> dataSets = d->dataSets;
    for (TDataSet* dataSet : dataSets)
        dataSet->Close();
    d->connections.clear();
    d->active = false;
}

void TSession::SetNetFileDir(const QString& folder)
{
    d->netFileDir = folder;
}

QString TSession::NetFileDir() const
{
    return d->netFileDir;
}

void TSession::SetPrivateDir(const QString& folder)
{
    d->privateDir = folder;
}

QString TSession::PrivateDir() const
{
    return d->privateDir;
}

void TSession::DeleteAlias(const QString& name)
{
    d->Start();
    d->aliases.erase(name.toCaseFolded());
}

void TSession::AddStandardAlias(const QString& name, const QString& path, const QString& defaultDriver)
{
    Q_UNUSED(defaultDriver) // every table is a file of the one kind this engine knows
    d->Start();
    if (!d->aliases.try_emplace(name.toCaseFolded(), name, path).second)
        throw EEngineError(QStringLiteral("Alias already exists: %1").arg(name));
}

QString TSession::AliasPath(const QString& name) const
{
    const auto it = d->aliases.find(name.toCaseFolded());
    if (it == d->aliases.end())
        throw EEngineError(QStringLiteral("Unknown alias: %1").arg(name));
    return it->second.second;
}

void TSession::AddPassword(const QString& password)
{
    d->Start();
    if (!d->passwords.contains(password))
        d->passwords << password;
}

// ---------------------------------------------------------------------------------------------------------
// Engine

namespace Engine
{

void Start()
{
    if (g_engineStarts == 0) {
        const int rc = sqlite3_initialize();
        if (rc != SQLITE_OK)
            throw EEngineError(
                QString::asprintf(
                    "An error occurred while attempting to initialize the database engine (error $%.4x)", rc),
                rc);
    }
    ++g_engineStarts;
}

void Stop()
{
    if (g_engineStarts > 0)
        --g_engineStarts;
}

TDatabase::TDatabase(QString databaseName) : m_databaseName(std::move(databaseName)) {}

TDatabase::~TDatabase() = default;

void TDatabase::SetDriverName(const QString& driver)
{
    m_driverName = driver;
}

void TDatabase::SetParams(const QStringList& params)
{
    m_params = params;
}

void TDatabase::Open()
{
    if (m_driverName.compare(u"STANDARD", Qt::CaseInsensitive) != 0)
        throw EEngineError(
            QStringLiteral("Unknown driver '%1' for database %2").arg(m_driverName, m_databaseName));
    const QString folder = Folder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        throw EEngineError(QStringLiteral("Folder does not exist: %1").arg(folder));
    m_open = true;
}

void TDatabase::Close()
{
    m_open = false;
}

QString TDatabase::Folder() const
{
    for (const QString& param : m_params)
        if (param.startsWith(u"path=", Qt::CaseInsensitive))
            return param.mid(5);
    return {};
}

void DoRestructure(TDatabase& database, const TCrTblDesc& desc)
{
    if (!database.IsOpen())
        throw EEngineError(QStringLiteral("Database is not open: %1").arg(database.DatabaseName()));
    const QString path = TablePath(database.Folder(), desc.tableName);
    if (desc.protectedFlag == 0)
        return; // nothing but the protection is ever restructured
    QStringList passwords;
    for (const TSession* session : Sessions()) {
        if (session->d->InUse(path))
            throw EEngineError(QStringLiteral("Table is in use: %1").arg(path));
        passwords << session->d->passwords;
    }
    // Cached connections would keep reading the replaced file.
    for (TSession* session : Sessions())
        session->d->connections.erase(path);
    ProtectTableFile(path, desc.password, passwords);
}

} // namespace Engine
