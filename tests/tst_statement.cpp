// The engine's statement parser: the program's two statements, rejected variants, date literals.

#include "data/Statement.h"

#include <QtTest>

Q_DECLARE_METATYPE(TFieldType)

namespace
{

// The column list the program appends to "CREATE TABLE \"" + file name.
QString DiaryColumnList()
{
    QString list = QStringLiteral(" \"( OrdNum AUTOINC, Data DATE");
    for (int n = 1; n <= 10; ++n)
        list += QStringLiteral(", ORACont%1 TIME, Val%1 NUMERIC").arg(n, 2, 10, QLatin1Char('0'));
    return list + QStringLiteral(", Note BLOB(1,1) )\"");
}

QString EngineError(const QString& statement)
{
    try {
        ParseStatement(statement);
    } catch (const EEngineError& e) {
        return e.Message();
    }
    return QStringLiteral("(accepted)");
}

} // namespace

class TestStatement : public QObject
{
    Q_OBJECT
private slots:
    void createTableAsTheProgramBuildsIt();
    void createTableNames_data();
    void createTableNames();
    void rangeSelectAsTheProgramBuildsIt();
    void selectVariants();
    void rejected_data();
    void rejected();
    void dateLiterals_data();
    void dateLiterals();
};

void TestStatement::createTableAsTheProgramBuildsIt()
{
    const QString statement = QStringLiteral("CREATE TABLE \"Nortav.DB") + DiaryColumnList();
    QCOMPARE(DiaryColumnList().size(), 358);

    const auto create = std::get<TCreateTable>(ParseStatement(statement));
    QCOMPARE(create.fileName, QStringLiteral("Nortav.DB"));
    QCOMPARE(create.columns.size(), std::size_t(23));
    QCOMPARE(create.columns[0].name, QStringLiteral("OrdNum"));
    QCOMPARE(create.columns[0].type, TFieldType::AutoInc);
    QCOMPARE(create.columns[1].name, QStringLiteral("Data"));
    QCOMPARE(create.columns[1].type, TFieldType::Date);
    for (int n = 1; n <= 10; ++n) {
        const TColumnDef& time = create.columns[2 * n];
        const TColumnDef& value = create.columns[2 * n + 1];
        QCOMPARE(time.name, QStringLiteral("ORACont%1").arg(n, 2, 10, QLatin1Char('0')));
        QCOMPARE(time.type, TFieldType::Time);
        QCOMPARE(value.name, QStringLiteral("Val%1").arg(n, 2, 10, QLatin1Char('0')));
        QCOMPARE(value.type, TFieldType::Float);
    }
    QCOMPARE(create.columns[22].name, QStringLiteral("Note"));
    QCOMPARE(create.columns[22].type, TFieldType::Memo);
}

void TestStatement::createTableNames_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("other file name from the setting")
        << QStringLiteral("CREATE TABLE \"Diario 2011.db") + DiaryColumnList()
        << QStringLiteral("Diario 2011.db");
    QTest::newRow("all trailing blanks dropped, leading kept")
        << QStringLiteral("CREATE TABLE \" a.DB   \"(X DATE)") << QStringLiteral(" a.DB");
    QTest::newRow("no stray quote, lower-case keywords and types")
        << QStringLiteral("create table \"t.db\"(x date, y blob(240,1))") << QStringLiteral("t.db");
    QTest::newRow("bare name") << QStringLiteral("CREATE TABLE t.db (x TIME)") << QStringLiteral("t.db");
    QTest::newRow("blanks and line breaks anywhere")
        << QStringLiteral("\n CREATE\tTABLE \"t.db\" (\n x\tNUMERIC ,y AUTOINC\n) \" \n")
        << QStringLiteral("t.db");
}

void TestStatement::createTableNames()
{
    QFETCH(QString, statement);
    QFETCH(QString, fileName);
    QCOMPARE(std::get<TCreateTable>(ParseStatement(statement)).fileName, fileName);
}

void TestStatement::rangeSelectAsTheProgramBuildsIt()
{
    const auto select = std::get<TSelect>(ParseStatement(QStringLiteral(
        "SELECT * FROM Nortav.DB WHERE DATA>=\"01/01/2010\" AND DATA<=\"12/31/2010\" ORDER BY DATA ASC")));
    QCOMPARE(select.fileName, QStringLiteral("Nortav.DB"));
    QCOMPARE(select.where.size(), std::size_t(2));
    QCOMPARE(select.where[0].column, QStringLiteral("DATA"));
    QCOMPARE(select.where[0].op, QStringLiteral(">="));
    QCOMPARE(select.where[0].literal, QStringLiteral("01/01/2010"));
    QVERIFY(select.where[0].quoted);
    QCOMPARE(select.where[1].op, QStringLiteral("<="));
    QCOMPARE(select.where[1].literal, QStringLiteral("12/31/2010"));
    QCOMPARE(select.orderBy, QStringLiteral("DATA"));
    QVERIFY(!select.descending);

    // Untouched date fields send their blanks as they stand; judging them is the engine's business.
    const auto blank = std::get<TSelect>(ParseStatement(QStringLiteral(
        "SELECT * FROM Nortav.DB WHERE DATA>=\"  /  /    \" AND DATA<=\" 1/ 5/2010\" ORDER BY DATA ASC")));
    QCOMPARE(blank.where[0].literal, QStringLiteral("  /  /    "));
    QCOMPARE(blank.where[1].literal, QStringLiteral(" 1/ 5/2010"));
}

void TestStatement::selectVariants()
{
    const auto plain = std::get<TSelect>(ParseStatement(QStringLiteral("select * from \"My Diary.DB \"")));
    QCOMPARE(plain.fileName, QStringLiteral("My Diary.DB"));
    QVERIFY(plain.where.empty());
    QVERIFY(plain.orderBy.isEmpty());

    const auto numbers = std::get<TSelect>(ParseStatement(QStringLiteral(
        "SELECT * FROM t.db WHERE Val01<>-1.5e3 AND val02=7 AND Val03>.5 ORDER BY val01 desc")));
    QCOMPARE(numbers.where.size(), std::size_t(3));
    QCOMPARE(numbers.where[0].op, QStringLiteral("<>"));
    QCOMPARE(numbers.where[0].literal, QStringLiteral("-1.5e3"));
    QVERIFY(!numbers.where[0].quoted);
    QCOMPARE(numbers.where[1].op, QStringLiteral("="));
    QCOMPARE(numbers.where[2].op, QStringLiteral(">"));
    QCOMPARE(numbers.where[2].literal, QStringLiteral(".5"));
    QCOMPARE(numbers.orderBy, QStringLiteral("val01"));
    QVERIFY(numbers.descending);
}

void TestStatement::rejected_data()
{
    QTest::addColumn<QString>("statement");
    QTest::addColumn<QString>("error");

    const QString columns = DiaryColumnList();
    QTest::newRow("empty") << QString()
                           << QStringLiteral(
                                  "Invalid statement: expected CREATE or SELECT at end of statement");
    QTest::newRow("other verb") << QStringLiteral("DROP TABLE t.db")
                                << QStringLiteral("Invalid statement: expected CREATE or SELECT near 'DROP'");
    QTest::newRow("misspelt FROM") << QStringLiteral("SELECT * FORM Nortav.DB")
                                   << QStringLiteral("Invalid statement: expected FROM near 'FORM'");
    QTest::newRow("column list instead of *") << QStringLiteral("SELECT Data FROM t.db")
                                              << QStringLiteral("Invalid statement: expected * near 'Data'");
    QTest::newRow("keyword glued to a word")
        << QStringLiteral("SELECT * FROMt.db")
        << QStringLiteral("Invalid statement: expected FROM near 'FROMt.db'");
    QTest::newRow("no table name") << QStringLiteral("SELECT * FROM")
                                   << QStringLiteral(
                                          "Invalid statement: expected table name at end of statement");
    QTest::newRow("single-quoted literal") << QStringLiteral("SELECT * FROM t.db WHERE DATA>='01/01/2010'")
                                           << QStringLiteral("Invalid statement: expected literal near '''");
    QTest::newRow("unterminated literal")
        << QStringLiteral("SELECT * FROM t.db WHERE DATA>=\"01/01/2010")
        << QStringLiteral("Invalid statement: unterminated string literal \"01/01/2010");
    QTest::newRow("unknown operator")
        << QStringLiteral("SELECT * FROM t.db WHERE DATA LIKE \"x\"")
        << QStringLiteral("Invalid statement: expected comparison operator near 'LIKE'");
    QTest::newRow("dangling AND") << QStringLiteral("SELECT * FROM t.db WHERE Val01=1 AND")
                                  << QStringLiteral(
                                         "Invalid statement: expected column name at end of statement");
    QTest::newRow("OR is not supported")
        << QStringLiteral("SELECT * FROM t.db WHERE Val01=1 OR Val01=2")
        << QStringLiteral("Invalid statement: expected end of statement near 'OR'");
    QTest::newRow("ORDER without BY") << QStringLiteral("SELECT * FROM t.db ORDER DATA")
                                      << QStringLiteral("Invalid statement: expected BY near 'DATA'");
    QTest::newRow("number glued to a word")
        << QStringLiteral("SELECT * FROM t.db WHERE Val01=12abc")
        << QStringLiteral("Invalid statement: expected literal near '12abc'");
    QTest::newRow("trailing text") << QStringLiteral("SELECT * FROM t.db ORDER BY Data ASC;")
                                   << QStringLiteral("Invalid statement: expected end of statement near ';'");

    QTest::newRow("unknown type") << QStringLiteral("CREATE TABLE \"t.db\"( Val01 TEXT )")
                                  << QStringLiteral("Unknown column type 'TEXT' for column 'Val01'");
    QTest::newRow("type missing") << QStringLiteral("CREATE TABLE \"t.db\"( Val01, Val02 TIME )")
                                  << QStringLiteral(
                                         "Invalid statement: expected a type for column 'Val01' near ','");
    QTest::newRow("blob without size") << QStringLiteral("CREATE TABLE \"t.db\"( Note BLOB )")
                                       << QStringLiteral("Invalid statement: expected ( near ')'");
    QTest::newRow("blob size not digits")
        << QStringLiteral("CREATE TABLE \"t.db\"( Note BLOB(a,1) )")
        << QStringLiteral("Invalid statement: expected digits in BLOB type of column 'Note' near 'a'");
    QTest::newRow("duplicate column, other case")
        << QStringLiteral("CREATE TABLE \"t.db\"( Data DATE, DATA TIME )")
        << QStringLiteral("Duplicate column name 'DATA'");
    QTest::newRow("column name starting with a digit") << QStringLiteral("CREATE TABLE \"t.db\"( 1Val DATE )")
                                                       << QStringLiteral("Invalid column name '1Val'");
    QTest::newRow("column name with a foreign mark")
        << QStringLiteral("CREATE TABLE \"t.db\"( Val-01 NUMERIC )")
        << QStringLiteral("Invalid statement: expected a type for column 'Val' near '-'");
    QTest::newRow("no columns") << QStringLiteral("CREATE TABLE \"t.db\"( )")
                                << QStringLiteral("Invalid statement: expected column name near ')'");
    QTest::newRow("unclosed column list")
        << QStringLiteral("CREATE TABLE \"t.db\"( Data DATE")
        << QStringLiteral("Invalid statement: expected ) at end of statement");
    QTest::newRow("two stray quotes")
        << QStringLiteral("CREATE TABLE \"t.db\"( Data DATE )\"\"")
        << QStringLiteral("Invalid statement: expected end of statement near '\"'");
    QTest::newRow("unterminated table name")
        << QStringLiteral("CREATE TABLE \"t.db( Data DATE )")
        << QStringLiteral("Invalid statement: unterminated table name \"t.db( Data DATE )");

    const QString invalidName = QStringLiteral("Invalid table name '%1'");
    for (const QString& name :
         {QStringLiteral(""), QStringLiteral("   "), QStringLiteral("."), QStringLiteral(".. "),
          QStringLiteral("../Nortav.DB"), QStringLiteral("a/b.DB"), QStringLiteral("a\\b.DB"),
          QStringLiteral("C:Nortav.DB"), QStringLiteral("a\tb.DB"), QStringLiteral("a\nb.DB")})
        QTest::addRow("table name \"%s\"", qPrintable(name))
            << QStringLiteral("CREATE TABLE \"") + name + columns << invalidName.arg(name.trimmed());
    QTest::newRow("bare name with a folder")
        << QStringLiteral("SELECT * FROM /tmp/t.db") << invalidName.arg(QStringLiteral("/tmp/t.db"));
}

void TestStatement::rejected()
{
    QFETCH(QString, statement);
    QFETCH(QString, error);
    QCOMPARE(EngineError(statement), error);
}

void TestStatement::dateLiterals_data()
{
    QTest::addColumn<QString>("literal");
    QTest::addColumn<QDate>("date"); // null: refused

    QTest::newRow("slashes") << QStringLiteral("01/31/2010") << QDate(2010, 1, 31);
    QTest::newRow("periods") << QStringLiteral("12.31.2010") << QDate(2010, 12, 31);
    QTest::newRow("dashes") << QStringLiteral("2-28-2011") << QDate(2011, 2, 28);
    QTest::newRow("blanks of untyped positions") << QStringLiteral(" 1/ 5/2010") << QDate(2010, 1, 5);
    QTest::newRow("blank after a digit") << QStringLiteral("1 /5 /2010") << QDate(2010, 1, 5);
    QTest::newRow("leap day") << QStringLiteral("02/29/2012") << QDate(2012, 2, 29);
    QTest::newRow("leap day of a century divisible by 400")
        << QStringLiteral("02/29/2000") << QDate(2000, 2, 29);
    QTest::newRow("short year as typed") << QStringLiteral("01/05/10") << QDate(10, 1, 5);

    QTest::newRow("untouched field") << QStringLiteral("  /  /    ") << QDate();
    QTest::newRow("empty") << QString() << QDate();
    QTest::newRow("year missing") << QStringLiteral("01/05/    ") << QDate();
    QTest::newRow("day missing") << QStringLiteral("01/  /2010") << QDate();
    QTest::newRow("month 13") << QStringLiteral("13/01/2010") << QDate();
    QTest::newRow("month 0") << QStringLiteral("00/01/2010") << QDate();
    QTest::newRow("31 April") << QStringLiteral("04/31/2010") << QDate();
    QTest::newRow("29 Feb, not a leap year") << QStringLiteral("02/29/2011") << QDate();
    QTest::newRow("29 Feb 1900") << QStringLiteral("02/29/1900") << QDate();
    QTest::newRow("year 0") << QStringLiteral("01/01/0000") << QDate();
    QTest::newRow("mixed separators") << QStringLiteral("01/05-2010") << QDate();
    QTest::newRow("two parts") << QStringLiteral("01/05") << QDate();
    QTest::newRow("four parts") << QStringLiteral("01/05/20/10") << QDate();
    QTest::newRow("letters") << QStringLiteral("O1/05/2010") << QDate();
    QTest::newRow("sign") << QStringLiteral("+1/05/2010") << QDate();
    QTest::newRow("five-digit year") << QStringLiteral("01/05/20100") << QDate();
    QTest::newRow("three-digit day") << QStringLiteral("01/005/2010") << QDate();
    QTest::newRow("day first") << QStringLiteral("31/01/2010") << QDate();
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("٠١/٠٥/٢٠١٠") << QDate();
}

void TestStatement::dateLiterals()
{
    QFETCH(QString, literal);
    QFETCH(QDate, date);
    if (date.isValid()) {
        QCOMPARE(ParseDateLiteral(literal), date);
        return;
    }
    try {
        ParseDateLiteral(literal);
        QFAIL("accepted");
    } catch (const EEngineError& e) {
        QCOMPARE(e.Message(), QStringLiteral("Invalid date literal \"%1\"").arg(literal));
    }
}

QTEST_GUILESS_MAIN(TestStatement)
#include "tst_statement.moc"
