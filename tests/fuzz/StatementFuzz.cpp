// One fuzz input: the bytes as UTF-8 text, read both as a statement and as a date literal.
// Only the engine's own error may come out; whatever is accepted must hold together, and printing it
// back in the dialect must read the same again. Any breach aborts, which the fuzzer reports as a crash.

#include "data/Statement.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{

const QStringList Operators = {QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("<"),
                               QStringLiteral("<="), QStringLiteral(">"),  QStringLiteral(">=")};

void Require(bool condition, const char* what, const QString& text)
{
    if (condition)
        return;
    std::fprintf(stderr, "statement fuzz: %s\n  input: %s\n", what, qUtf8Printable(text));
    std::abort();
}

bool IsIdentifier(const QString& name)
{
    if (name.isEmpty() || name[0].isDigit())
        return false;
    for (QChar c : name)
        if (!(c.isDigit() || c == u'_' || (c.unicode() < 128 && c.isLetter())))
            return false;
    return true;
}

void CheckFileName(const QString& name, const QString& input)
{
    Require(!name.isEmpty() && !name.endsWith(u' ') && name != u"." && name != u"..",
            "table name empty, dotted or with a trailing blank", input);
    for (QChar c : name)
        Require(c != u'/' && c != u'\\' && c != u':' && c != u'"' && c.category() != QChar::Other_Control,
                "table name with a folder part, a quote or a control character", input);
}

QString TypeText(TFieldType type)
{
    switch (type) {
    case TFieldType::AutoInc:
        return QStringLiteral("AUTOINC");
    case TFieldType::Date:
        return QStringLiteral("DATE");
    case TFieldType::Time:
        return QStringLiteral("TIME");
    case TFieldType::Float:
        return QStringLiteral("NUMERIC");
    case TFieldType::Memo:
        return QStringLiteral("BLOB(1,1)");
    }
    return {};
}

QString Printed(const TCreateTable& create)
{
    QStringList columns;
    for (const TColumnDef& column : create.columns)
        columns << column.name + u' ' + TypeText(column.type);
    return QStringLiteral("CREATE TABLE \"") + create.fileName + u"\"(" + columns.join(u", ") + u')';
}

QString Printed(const TSelect& select)
{
    QString text = QStringLiteral("SELECT * FROM \"") + select.fileName + u'"';
    for (size_t i = 0; i < select.where.size(); ++i) {
        const TCondition& condition = select.where[i];
        const QString literal = condition.quoted ? u'"' + condition.literal + u'"' : condition.literal;
        text += (i == 0 ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + condition.column +
                condition.op + literal;
    }
    if (!select.orderBy.isEmpty())
        text += u" ORDER BY " + select.orderBy +
                (select.descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
    return text;
}

bool Same(const TCondition& a, const TCondition& b)
{
    return a.column == b.column && a.op == b.op && a.literal == b.literal && a.quoted == b.quoted;
}

bool Same(const TCreateTable& a, const TCreateTable& b)
{
    if (a.fileName != b.fileName || a.columns.size() != b.columns.size())
        return false;
    for (size_t i = 0; i < a.columns.size(); ++i)
        if (a.columns[i].name != b.columns[i].name || a.columns[i].type != b.columns[i].type)
            return false;
    return true;
}

bool Same(const TSelect& a, const TSelect& b)
{
    return a.fileName == b.fileName &&
           std::equal(a.where.begin(), a.where.end(), b.where.begin(), b.where.end(),
                      [](const TCondition& x, const TCondition& y) { return Same(x, y); }) &&
           a.orderBy == b.orderBy && a.descending == b.descending;
}

// An error's text shows a zero character of the input as U+FFFD, so the text after it is kept.
QString AsErrorText(const QString& text)
{
    return QString(text).replace(QChar(0), QChar(0xFFFD));
}

void CheckDate(const QString& literal)
{
    QDate date;
    try {
        date = ParseDateLiteral(literal);
    } catch (const EEngineError& e) {
        Require(e.Message() == AsErrorText(QStringLiteral("Invalid date literal \"%1\"").arg(literal)),
                "date literal refused with another text", literal);
        return;
    }
    Require(date.isValid() && date.year() >= 1 && date.year() <= 9999, "accepted date out of range", literal);
    const QString printed = QStringLiteral("%1/%2/%3").arg(date.month()).arg(date.day()).arg(date.year());
    Require(ParseDateLiteral(printed) == date, "date does not read back the same", literal);
}

void CheckStatement(const TCreateTable& create, const QString& input)
{
    CheckFileName(create.fileName, input);
    Require(!create.columns.empty(), "table without columns", input);
    for (size_t i = 0; i < create.columns.size(); ++i) {
        Require(IsIdentifier(create.columns[i].name), "column name not an identifier", input);
        for (size_t j = 0; j < i; ++j)
            Require(create.columns[i].name.compare(create.columns[j].name, Qt::CaseInsensitive) != 0,
                    "duplicate column accepted", input);
    }
}

void CheckStatement(const TSelect& select, const QString& input)
{
    CheckFileName(select.fileName, input);
    for (const TCondition& condition : select.where) {
        Require(IsIdentifier(condition.column), "condition column not an identifier", input);
        Require(Operators.contains(condition.op), "unknown operator accepted", input);
        Require(condition.quoted ? !condition.literal.contains(u'"') : !condition.literal.isEmpty(),
                "literal empty or holding a quote", input);
        // The engine reads quoted literals compared with a date column as dates.
        if (condition.quoted)
            CheckDate(condition.literal);
    }
    Require(select.orderBy.isEmpty() || IsIdentifier(select.orderBy), "order column not an identifier",
            input);
}

void CheckStatement(const QString& input)
{
    TStatement statement;
    try {
        statement = ParseStatement(input);
    } catch (const EEngineError& e) {
        Require(!e.Message().isEmpty(), "statement refused without a text", input);
        return;
    }
    std::visit(
        [&](const auto& parsed) {
            CheckStatement(parsed, input);
            const QString printed = Printed(parsed);
            const auto again = std::get<std::decay_t<decltype(parsed)>>(ParseStatement(printed));
            Require(Same(parsed, again), "statement does not read back the same", input);
        },
        statement);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckStatement(input);
    CheckDate(input);
    return 0;
}
