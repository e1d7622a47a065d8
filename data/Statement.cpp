#include "data/Statement.h"

#include "data/Errors.h"

#include <QRegularExpression>

#include <optional>

namespace
{

bool IsNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_';
}

// A bare file name runs up to a blank or one of the statement's punctuation marks.
bool IsBareFileNameChar(QChar c)
{
    return !c.isSpace() && !QStringView(u"\"(),;").contains(c);
}

[[noreturn]] void InvalidTableName(const QString& name)
{
    throw EEngineError(QStringLiteral("Invalid table name '%1'").arg(name));
}

// The name as the file system keeps it: trailing blanks dropped, no folder part, nothing unprintable.
QString ValidFileName(QString name)
{
    while (name.endsWith(u' '))
        name.chop(1);
    if (name.isEmpty() || name == u"." || name == u"..")
        InvalidTableName(name);
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c == u':' || c.category() == QChar::Other_Control)
            InvalidTableName(name);
    return name;
}

// Reads the statement left to right; the parser below asks it for one piece at a time, since what a
// piece may contain (a bare file name with dots, a number, an operator) depends on where it stands.
class TScanner
{
public:
    explicit TScanner(const QString& text) : m_text(text) {}

    bool AtEnd()
    {
        SkipBlanks();
        return m_pos >= m_text.size();
    }

    [[noreturn]] void Fail(const QString& expected)
    {
        const QString where =
            AtEnd() ? QStringLiteral("at end of statement") : QStringLiteral("near '%1'").arg(NextPiece());
        throw EEngineError(QStringLiteral("Invalid statement: expected %1 %2").arg(expected, where));
    }

    bool TryKeyword(QLatin1StringView keyword)
    {
        if (AtEnd() || PeekWord().compare(keyword, Qt::CaseInsensitive) != 0)
            return false;
        m_pos += keyword.size();
        return true;
    }

    void ExpectKeyword(QLatin1StringView keyword)
    {
        if (!TryKeyword(keyword))
            Fail(keyword);
    }

    bool TryChar(QChar c)
    {
        if (AtEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }

    void ExpectChar(QChar c)
    {
        if (!TryChar(c))
            Fail(QString(c));
    }

    bool TryText(QStringView text)
    {
        if (AtEnd() || !QStringView(m_text).mid(m_pos).startsWith(text))
            return false;
        m_pos += text.size();
        return true;
    }

    void ExpectEnd()
    {
        if (!AtEnd())
            Fail(QStringLiteral("end of statement"));
    }

    // A word of name characters; empty when none stands here.
    QString ReadWord()
    {
        AtEnd();
        const QString word = PeekWord();
        m_pos += word.size();
        return word;
    }

    QString ReadDigits()
    {
        AtEnd();
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= u'0' && m_text[m_pos] <= u'9')
            ++m_pos;
        return m_text.mid(start, m_pos - start);
    }

    QString ReadIdentifier(const QString& what)
    {
        const QString word = ReadWord();
        if (word.isEmpty())
            Fail(what);
        if (word[0].isDigit())
            throw EEngineError(QStringLiteral("Invalid column name '%1'").arg(word));
        return word;
    }

    // The text between double quotes; the opening quote has been checked by the caller.
    QString ReadQuoted(const QString& what)
    {
        const qsizetype start = m_pos + 1;
        const qsizetype end = m_text.indexOf(u'"', start);
        if (end < 0)
            throw EEngineError(
                QStringLiteral("Invalid statement: unterminated %1 %2").arg(what, m_text.mid(m_pos)));
        m_pos = end + 1;
        return m_text.mid(start, end - start);
    }

    QString ReadFileName()
    {
        if (AtEnd())
            Fail(QStringLiteral("table name"));
        if (m_text[m_pos] == u'"')
            return ValidFileName(ReadQuoted(QStringLiteral("table name")));
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && IsBareFileNameChar(m_text[m_pos]))
            ++m_pos;
        const QString name = m_text.mid(start, m_pos - start);
        // A clause keyword where the name should be means the name is missing ("FROM  WHERE ...").
        if (name.isEmpty() || name.compare(u"WHERE", Qt::CaseInsensitive) == 0 ||
            name.compare(u"ORDER", Qt::CaseInsensitive) == 0) {
            m_pos = start;
            Fail(QStringLiteral("table name"));
        }
        return ValidFileName(name);
    }

    // A number as the engine writes it: optional sign, digits with an optional point, optional exponent.
    QString ReadNumber()
    {
        static const QRegularExpression number(
            QStringLiteral(R"([+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?(?![A-Za-z0-9_.]))"));
        if (AtEnd())
            return {};
        const QRegularExpressionMatch match = number.match(m_text, m_pos, QRegularExpression::NormalMatch,
                                                           QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.hasMatch())
            return {};
        m_pos += match.capturedLength();
        return match.captured();
    }

    bool AtChar(QChar c) { return !AtEnd() && m_text[m_pos] == c; }

private:
    void SkipBlanks()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    QString PeekWord() const
    {
        qsizetype end = m_pos;
        while (end < m_text.size() && IsNameChar(m_text[end]))
            ++end;
        return m_text.mid(m_pos, end - m_pos);
    }

    // What an error message quotes: the word, the quoted text or the single mark standing here.
    QString NextPiece() const
    {
        if (m_text[m_pos] == u'"') {
            const qsizetype end = m_text.indexOf(u'"', m_pos + 1);
            return m_text.mid(m_pos, end < 0 ? -1 : end - m_pos + 1);
        }
        qsizetype end = m_pos;
        while (end < m_text.size() && (IsNameChar(m_text[end]) || m_text[end] == u'.'))
            ++end;
        return m_text.mid(m_pos, std::max<qsizetype>(end - m_pos, 1));
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

TFieldType ReadColumnType(TScanner& scanner, const QString& column)
{
    const QString word = scanner.ReadWord();
    if (word.isEmpty())
        scanner.Fail(QStringLiteral("a type for column '%1'").arg(column));
    const QString type = word.toUpper();
    if (type == u"AUTOINC")
        return TFieldType::AutoInc;
    if (type == u"DATE")
        return TFieldType::Date;
    if (type == u"TIME")
        return TFieldType::Time;
    if (type == u"NUMERIC")
        return TFieldType::Float;
    if (type == u"BLOB") {
        // BLOB(size, kind): both digits; every blob of this program is a memo.
        scanner.ExpectChar(u'(');
        for (QChar closing : {QChar(u','), QChar(u')')}) {
            if (scanner.ReadDigits().isEmpty())
                scanner.Fail(QStringLiteral("digits in BLOB type of column '%1'").arg(column));
            scanner.ExpectChar(closing);
        }
        return TFieldType::Memo;
    }
    throw EEngineError(QStringLiteral("Unknown column type '%1' for column '%2'").arg(word, column));
}

TCreateTable ReadCreateTable(TScanner& scanner)
{
    TCreateTable create;
    scanner.ExpectKeyword(QLatin1StringView("TABLE"));
    create.fileName = scanner.ReadFileName();
    scanner.ExpectChar(u'(');
    do {
        const QString name = scanner.ReadIdentifier(QStringLiteral("column name"));
        for (const TColumnDef& column : create.columns)
            if (column.name.compare(name, Qt::CaseInsensitive) == 0)
                throw EEngineError(QStringLiteral("Duplicate column name '%1'").arg(name));
        create.columns.push_back({name, ReadColumnType(scanner, name)});
    } while (scanner.TryChar(u','));
    scanner.ExpectChar(u')');
    // The program's statement ends with the closing quote of its column-list literal.
    scanner.TryChar(u'"');
    scanner.ExpectEnd();
    return create;
}

QString ReadOperator(TScanner& scanner)
{
    // Two-character operators first, so "<=" is not read as "<".
    for (QStringView op : {u"<>", u"<=", u">=", u"<", u">", u"="})
        if (scanner.TryText(op))
            return op.toString();
    scanner.Fail(QStringLiteral("comparison operator"));
}

TCondition ReadCondition(TScanner& scanner)
{
    TCondition condition;
    condition.column = scanner.ReadIdentifier(QStringLiteral("column name"));
    condition.op = ReadOperator(scanner);
    if (scanner.AtChar(u'"')) {
        condition.literal = scanner.ReadQuoted(QStringLiteral("string literal"));
        condition.quoted = true;
    } else {
        condition.literal = scanner.ReadNumber();
        if (condition.literal.isEmpty())
            scanner.Fail(QStringLiteral("literal"));
    }
    return condition;
}

TSelect ReadSelect(TScanner& scanner)
{
    TSelect select;
    scanner.ExpectChar(u'*');
    scanner.ExpectKeyword(QLatin1StringView("FROM"));
    select.fileName = scanner.ReadFileName();
    if (scanner.TryKeyword(QLatin1StringView("WHERE"))) {
        do
            select.where.push_back(ReadCondition(scanner));
        while (scanner.TryKeyword(QLatin1StringView("AND")));
    }
    if (scanner.TryKeyword(QLatin1StringView("ORDER"))) {
        scanner.ExpectKeyword(QLatin1StringView("BY"));
        select.orderBy = scanner.ReadIdentifier(QStringLiteral("column name"));
        if (scanner.TryKeyword(QLatin1StringView("DESC")))
            select.descending = true;
        else
            scanner.TryKeyword(QLatin1StringView("ASC"));
    }
    scanner.ExpectEnd();
    return select;
}

// One part of a date literal with its blanks removed; digits only, at least one, at most maxDigits.
std::optional<int> DatePart(QStringView part, int maxDigits)
{
    QString digits;
    for (QChar c : part) {
        if (c.isSpace())
            continue;
        if (c < u'0' || c > u'9')
            return std::nullopt;
        digits += c;
    }
    if (digits.isEmpty() || digits.size() > maxDigits)
        return std::nullopt;
    return digits.toInt();
}

} // namespace

TStatement ParseStatement(const QString& text)
{
    TScanner scanner(text);
    if (scanner.TryKeyword(QLatin1StringView("CREATE")))
        return ReadCreateTable(scanner);
    if (scanner.TryKeyword(QLatin1StringView("SELECT")))
        return ReadSelect(scanner);
    scanner.Fail(QStringLiteral("CREATE or SELECT"));
}

QDate ParseDateLiteral(const QString& literal)
{
    static const QRegularExpression shape(QStringLiteral(R"(^([^/.-]*)([/.-])([^/.-]*)\2([^/.-]*)$)"));
    const QRegularExpressionMatch match = shape.match(literal);
    if (match.hasMatch()) {
        const auto month = DatePart(match.capturedView(1), 2);
        const auto day = DatePart(match.capturedView(3), 2);
        const auto year = DatePart(match.capturedView(4), 4);
        if (month && day && year) {
            const QDate date(*year, *month, *day);
            if (date.isValid())
                return date;
        }
    }
    throw EEngineError(QStringLiteral("Invalid date literal \"%1\"").arg(literal));
}
