#include "data/Convert.h"
#include "data/Engine.h"
#include "data/Errors.h"
#include "data/F_Conf.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <functional>
#include <memory>

namespace
{

const QString Alias = QStringLiteral("DNortav09");
const QString TableFile = QStringLiteral("Nortav.DB");
const QString Password = QStringLiteral("EE58BB31FF47");
// The chart's statement, as it reaches the engine.
const QString RangeStatement = QStringLiteral(
    "SELECT * FROM Nortav.DB WHERE DATA>=\"01/01/2010\" AND DATA<=\"12/31/2010\" ORDER BY DATA ASC");

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

// Runs the stock shell on a table file; empty when the shell is not installed.
QString Shell(const QString& path, const QString& script)
{
    QProcess shell;
    shell.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), path});
    if (!shell.waitForStarted(5000))
        return {};
    shell.write(script.toUtf8());
    shell.closeWriteChannel();
    shell.waitForFinished(10000);
    return QString::fromUtf8(shell.readAllStandardOutput() + shell.readAllStandardError()).trimmed();
}

// A folder with an alias on it in a fresh session, and the diary table made by the program's statement.
struct TFixture {
    QTemporaryDir dir;
    TSession session;

    TFixture() { session.AddStandardAlias(Alias, Folder(), QStringLiteral("PARADOX")); }
    QString Folder() const { return dir.path() + u'/'; }
    QString Path(const QString& name = TableFile) const { return dir.path() + u'/' + name; }

    void Exec(const QString& sql)
    {
        TQuery query(&session);
        query.setObjectName(QStringLiteral("QGEN"));
        query.SetDatabaseName(Alias);
        query.SetSQL(sql);
        query.ExecSQL();
    }
    void Create(const QString& name = TableFile) { Exec(u"CREATE TABLE \"" + name + SchemaDiario); }

    std::unique_ptr<TTable> Table()
    {
        auto table = std::make_unique<TTable>(&session);
        table->setObjectName(QStringLiteral("T_Nortav"));
        table->SetDatabaseName(Alias);
        table->SetTableName(TableFile);
        table->Open();
        return table;
    }
    void AddRow(TTable& table, const QVariant& date, double val01)
    {
        table.Append();
        table.FieldByName(QStringLiteral("Data")).SetValue(date);
        table.FieldByName(QStringLiteral("Val01")).SetValue(val01);
        table.Post();
    }
    // Val01 of every stored row, in stored order, read through a second dataset.
    QList<double> Stored()
    {
        QList<double> values;
        auto table = Table();
        for (table->First(); !table->Eof(); table->Next())
            values << table->FieldByName(QStringLiteral("Val01")).Value().toDouble();
        return values;
    }
};

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void createsTheDiaryTable()
    {
        TFixture f;
        f.Create();
        auto table = f.Table();
        QCOMPARE(table->Fields().size(), size_t(23));
        QCOMPARE(table->Fields().front()->FieldName(), QStringLiteral("OrdNum"));
        QCOMPARE(table->Fields().front()->DataType(), TFieldType::AutoInc);
        QCOMPARE(table->FieldByName(QStringLiteral("oracont10")).DataType(), TFieldType::Time);
        QCOMPARE(table->FieldByName(QStringLiteral("VAL10")).DataType(), TFieldType::Float);
        QCOMPARE(table->Fields().back()->FieldName(), QStringLiteral("Note"));
        QCOMPARE(table->Fields().back()->DataType(), TFieldType::Memo);
        QVERIFY(table->IsEmpty());
        QVERIFY(table->Bof() && table->Eof() && table->AtFirst() && table->AtLast());
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{TableFile});
    }

    void rejectsCreation_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("existing");
        const QString create = QStringLiteral("CREATE TABLE \"T.DB\"( ");
        QTest::newRow("existing file") << QString(u"CREATE TABLE \"" + TableFile + SchemaDiario) << true;
        QTest::newRow("unknown type") << QString(create + u"A DATE, B VARCHAR )") << false;
        QTest::newRow("bad column name") << QString(create + u"1A DATE )") << false;
        QTest::newRow("reserved column name") << QString(create + u"rowid DATE )") << false;
        QTest::newRow("duplicate column") << QString(create + u"A DATE, a TIME )") << false;
        QTest::newRow("two counters") << QString(create + u"A AUTOINC, B AUTOINC )") << false;
        QTest::newRow("folder in name") << QStringLiteral("CREATE TABLE \"../T.DB\"( A DATE )") << false;
    }
    void rejectsCreation()
    {
        QFETCH(QString, sql);
        QFETCH(bool, existing);
        TFixture f;
        if (existing) {
            QFile file(f.Path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        const QStringList before = QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden);
        QVERIFY_THROWS_EXCEPTION(EEngineError, f.Exec(sql));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), before);
        if (existing)
            QCOMPARE(FileBytes(f.Path()), QByteArray("keep me"));
    }

    void stateMachine_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QList<double>>("stored");

        const auto closed = QStringLiteral("T_Nortav: Cannot perform this operation on a closed dataset");
        const auto empty = QStringLiteral("T_Nortav: Cannot perform this operation on an empty dataset");
        const auto notEditing = QStringLiteral("T_Nortav: Dataset not in edit or insert mode");
        const int inactive = int(TDataSetState::Inactive), browse = int(TDataSetState::Browse),
                  edit = int(TDataSetState::Edit), insert = int(TDataSetState::Insert);
        const QList<double> two{1, 2}, none{};
        const QString noError;

        for (const char* command : {"Post", "Edit", "Append", "Delete", "Next", "Set"})
            QTest::addRow("closed %s", command) << "shut" << command << inactive << closed << two;
        QTest::newRow("closed Cancel") << "shut"
                                       << "Cancel" << inactive << noError << two;
        QTest::newRow("empty Delete") << "empty"
                                      << "Delete" << browse << empty << none;
        QTest::newRow("empty Edit becomes insert") << "empty"
                                                   << "Edit" << insert << noError << none;
        QTest::newRow("empty Post") << "empty"
                                    << "Post" << browse << notEditing << none;
        QTest::newRow("browse Post") << "browse"
                                     << "Post" << browse << notEditing << two;
        QTest::newRow("browse Set") << "browse"
                                    << "Set" << browse << notEditing << two;
        QTest::newRow("browse Cancel") << "browse"
                                       << "Cancel" << browse << noError << two;
        QTest::newRow("browse Edit") << "browse"
                                     << "Edit" << edit << noError << two;
        QTest::newRow("browse Delete") << "browse"
                                       << "Delete" << browse << noError << QList<double>{2};
        QTest::newRow("edit Edit keeps changes") << "edited"
                                                 << "Edit" << edit << noError << two;
        QTest::newRow("edit Next drops untouched") << "edit"
                                                   << "Next" << browse << noError << two;
        QTest::newRow("edit Next posts changes") << "edited"
                                                 << "Next" << browse << noError << QList<double>{9, 2};
        QTest::newRow("edit Append posts changes") << "edited"
                                                   << "Append" << insert << noError << QList<double>{9, 2};
        QTest::newRow("edit Post") << "edited"
                                   << "Post" << browse << noError << QList<double>{9, 2};
        QTest::newRow("edit Cancel") << "edited"
                                     << "Cancel" << browse << noError << two;
        QTest::newRow("edit Delete") << "edited"
                                     << "Delete" << browse << noError << QList<double>{2};
        QTest::newRow("edit Close drops") << "edited"
                                          << "Close" << inactive << noError << two;
        QTest::newRow("insert Next drops untouched") << "insert"
                                                     << "Next" << browse << noError << two;
        QTest::newRow("insert Prior posts changes") << "inserted"
                                                    << "Prior" << browse << noError << QList<double>{1, 2, 9};
        QTest::newRow("insert Append posts changes")
            << "inserted"
            << "Append" << insert << noError << QList<double>{1, 2, 9};
        QTest::newRow("insert Post") << "inserted"
                                     << "Post" << browse << noError << QList<double>{1, 2, 9};
        QTest::newRow("insert Cancel") << "inserted"
                                       << "Cancel" << browse << noError << two;
        QTest::newRow("insert Delete discards") << "inserted"
                                                << "Delete" << browse << noError << two;
        QTest::newRow("insert Close drops") << "inserted"
                                            << "Close" << inactive << noError << two;
    }
    void stateMachine()
    {
        QFETCH(QString, start);
        QFETCH(QString, command);
        QFETCH(int, state);
        QFETCH(QString, error);
        QFETCH(QList<double>, stored);

        TFixture f;
        f.Create();
        auto table = f.Table();
        if (start != u"empty") {
            f.AddRow(*table, QDate(2010, 1, 1), 1);
            f.AddRow(*table, QDate(2010, 1, 2), 2);
            table->First();
        }
        TField& val01 = table->FieldByName(QStringLiteral("Val01"));
        if (start == u"shut")
            table->Close();
        if (start.startsWith(u"edit"))
            table->Edit();
        if (start.startsWith(u"insert"))
            table->Append();
        if (start.endsWith(u"ed"))
            val01.SetValue(9.0);

        const std::map<QString, std::function<void()>> commands = {
            {QStringLiteral("Post"), [&] { table->Post(); }},
            {QStringLiteral("Edit"), [&] { table->Edit(); }},
            {QStringLiteral("Append"), [&] { table->Append(); }},
            {QStringLiteral("Delete"), [&] { table->Delete(); }},
            {QStringLiteral("Cancel"), [&] { table->Cancel(); }},
            {QStringLiteral("Next"), [&] { table->Next(); }},
            {QStringLiteral("Prior"), [&] { table->Prior(); }},
            {QStringLiteral("Close"), [&] { table->Close(); }},
            {QStringLiteral("Set"), [&] { val01.SetValue(5.0); }},
        };
        QCOMPARE(ErrorOf(commands.at(command)), error);
        QCOMPARE(int(table->State()), state);
        QCOMPARE(f.Stored(), stored);
        if (start == u"edited" && command == u"Edit")
            QCOMPARE(val01.Value().toDouble(), 9.0);
    }

    void unknownFieldNamesTheComponent()
    {
        TFixture f;
        f.Create();
        auto table = f.Table();
        QCOMPARE(ErrorOf([&] { table->FieldByName(QStringLiteral("Bogus")); }),
                 QStringLiteral("T_Nortav: Field 'Bogus' not found"));
        table->Append();
        QCOMPARE(ErrorOf([&] { table->FieldByName(QStringLiteral("OrdNum")).SetValue(3); }),
                 QStringLiteral("T_Nortav: Field 'OrdNum' cannot be modified"));
    }

    void pagesInStoredOrder()
    {
        TFixture f;
        f.Create();
        auto table = f.Table();
        for (int i = 1; i <= 3; ++i)
            f.AddRow(*table, QDate(2010, 4 - i, 1), i); // dates descending: paging must not sort
        TField& val01 = table->FieldByName(QStringLiteral("Val01"));
        QCOMPARE(val01.Value().toDouble(), 3.0); // after a post the current row is the stored row

        table->First();
        QVERIFY(table->Bof() && !table->Eof() && table->AtFirst() && !table->AtLast());
        table->Next();
        QCOMPARE(val01.Value().toDouble(), 2.0);
        QVERIFY(!table->Bof() && !table->Eof() && !table->AtFirst() && !table->AtLast());
        table->Next();
        table->Next();
        QCOMPARE(val01.Value().toDouble(), 3.0);
        QVERIFY(table->Eof() && table->AtLast());
        table->Prior();
        table->Prior();
        table->Prior();
        QCOMPARE(val01.Value().toDouble(), 1.0);
        QVERIFY(table->Bof());

        table->Next();
        table->Delete(); // moves to the next row
        QCOMPARE(val01.Value().toDouble(), 3.0);
        const qint64 lastId = table->FieldByName(QStringLiteral("OrdNum")).Value().toLongLong();
        table->Delete(); // at the end: moves to the previous row
        QCOMPARE(val01.Value().toDouble(), 1.0);
        f.AddRow(*table, QDate(2010, 5, 1), 4);
        QVERIFY(table->FieldByName(QStringLiteral("OrdNum")).Value().toLongLong() > lastId); // never reused
        table->Last();
        QVERIFY(table->Eof() && !table->Bof());
        QCOMPARE(val01.Value().toDouble(), 4.0);
    }

    void signalsEveryChange()
    {
        TFixture f;
        f.Create();
        auto table = f.Table();
        TDataSource source(table.get());
        QSignalSpy state(&source, &TDataSource::StateChanged);
        QSignalSpy data(&source, &TDataSource::DataChanged);
        QVERIFY(state.isValid() && data.isValid());
        table->Append();
        QCOMPARE(state.count(), 1);
        const int before = data.count();
        table->FieldByName(QStringLiteral("Val01")).SetValue(1.0);
        QVERIFY(data.count() > before);
        table->Post();
        QCOMPARE(state.count(), 2);
        table->Close();
        QCOMPARE(state.count(), 3);
    }

    void postHandsOverPendingTextFirst()
    {
        TFixture f;
        f.Create();
        auto table = f.Table();
        TDataSource source(table.get());
        QObject control;
        QString typed = QStringLiteral("12,5");
        source.AddUpdater(&control, [&] { table->FieldByName(QStringLiteral("Val01")).SetText(typed); });
        table->Append();
        table->Post();
        QCOMPARE(f.Stored(), QList<double>{12.5});

        table->Edit();
        typed = QStringLiteral("abc");
        QVERIFY_THROWS_EXCEPTION(EConvertError, table->Post()); // a refusal aborts the post
        QCOMPARE(table->State(), TDataSetState::Edit);
        QCOMPARE(f.Stored(), QList<double>{12.5});
    }

    // A text of "=" stands for the current locale's text of the value.
    void fieldText_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("error");
        const QString ok;
        QTest::newRow("time") << "ORACont01"
                              << "=" << QVariant(QTime(7, 30, 15)) << ok;
        QTest::newRow("date") << "Data"
                              << "=" << QVariant(QDate(2010, 1, 31)) << ok;
        QTest::newRow("decimal comma") << "Val01"
                                       << "98,5" << QVariant(98.5) << ok;
        QTest::newRow("memo keeps blanks") << "Note"
                                           << " a\nb " << QVariant(QStringLiteral(" a\nb ")) << ok;
        QTest::newRow("empty empties") << "Val01"
                                       << "" << QVariant() << ok;
        QTest::newRow("bad time") << "ORACont01"
                                  << "25.61.00" << QVariant() << "'25.61.00' is not a valid time";
        QTest::newRow("bad date") << "Data"
                                  << "31/04/2010" << QVariant() << "'31/04/2010' is not a valid date";
        QTest::newRow("bad number") << "Val01"
                                    << "9x" << QVariant()
                                    << "'9x' is not a valid floating point value for field 'Val01'";
    }
    void fieldText()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        QFETCH(QString, error);
        if (text == u"=")
            text = value.typeId() == QMetaType::QDate ? DateText(value.toDate()) : TimeText(value.toTime());
        TFixture f;
        f.Create();
        auto table = f.Table();
        table->Append();
        TField& target = table->FieldByName(field);
        QCOMPARE(ErrorOf([&] { target.SetText(text); }), error);
        if (error.isEmpty()) {
            table->Post();
            QCOMPARE(target.Value(), value);
            QCOMPARE(target.DisplayText(), value.isNull() ? QString() : text);
        }
    }

    // A text value is read as a time, then a date, then a number, and stored as the column's kind.
    void fieldValueFromText_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("source");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("time") << "OraCont01" << QVariant(QTime(7, 0)) << QVariant(QTime(7, 0));
        QTest::newRow("date into time")
            << "ORACONT05" << QVariant(QDate(2010, 3, 4)) << QVariant(QTime(0, 0));
        QTest::newRow("date") << "Data" << QVariant(QDate(2010, 3, 4)) << QVariant(QDate(2010, 3, 4));
        QTest::newRow("number") << "Val02" << QVariant(101.25) << QVariant(101.25);
        QTest::newRow("nothing readable") << "ORACont01" << QVariant(QStringLiteral("abc")) << QVariant();
    }
    void fieldValueFromText()
    {
        QFETCH(QString, field);
        QFETCH(QVariant, source);
        QFETCH(QVariant, value);
        const QString text = source.typeId() == QMetaType::QDate    ? DateText(source.toDate())
                             : source.typeId() == QMetaType::QTime  ? TimeText(source.toTime())
                             : source.typeId() == QMetaType::Double ? FloatText(source.toDouble())
                                                                    : source.toString();
        TFixture f;
        f.Create();
        auto table = f.Table();
        table->Append();
        TField& target = table->FieldByName(field);
        const QString error = ErrorOf([&] { target.SetValue(text); });
        if (value.isNull()) {
            QCOMPARE(error, u"Invalid value for field '" + target.FieldName() + u"'");
            QCOMPARE(table->State(), TDataSetState::Insert);
            return;
        }
        QCOMPARE(error, QString());
        QCOMPARE(target.Value(), value);
    }

    void variantConversions_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("integer");
        QTest::addColumn<QString>("error");
        QTest::newRow("half down to even") << QVariant(98.5) << 98 << QString();
        QTest::newRow("half up to even") << QVariant(99.5) << 100 << QString();
        QTest::newRow("negative") << QVariant(-2.5) << -2 << QString();
        QTest::newRow("largest") << QVariant(2147483647.0) << INT_MAX << QString();
        QTest::newRow("overflow") << QVariant(2147483648.0) << 0
                                  << "Overflow while converting variant of type (Double) into type (Integer)";
        QTest::newRow("null") << QVariant() << 0
                              << "Could not convert variant of type (Null) into type (Integer)";
    }
    void variantConversions()
    {
        QFETCH(QVariant, value);
        QFETCH(int, integer);
        QFETCH(QString, error);
        TFixture f;
        f.Create();
        auto table = f.Table();
        table->Append();
        TField& val01 = table->FieldByName(QStringLiteral("Val01"));
        val01.SetValue(value);
        table->Post();
        int result = 0;
        QCOMPARE(ErrorOf([&] { result = val01.AsInteger(); }), error);
        QCOMPARE(result, integer);
        QCOMPARE(ErrorOf([&] { table->FieldByName(QStringLiteral("Data")).AsString(); }),
                 QStringLiteral("Could not convert variant of type (Null) into type (String)"));
    }

    void rangeQuery()
    {
        TFixture f;
        f.Create();
        auto table = f.Table();
        f.AddRow(*table, QDate(2010, 6, 15), 3);
        f.AddRow(*table, QDate(2010, 1, 1), 1);
        f.AddRow(*table, QDate(2009, 12, 31), -1);
        f.AddRow(*table, QDate(2010, 12, 31), 4);
        f.AddRow(*table, QDate(2011, 1, 1), -1);
        f.AddRow(*table, QVariant(), -1);
        f.AddRow(*table, QDate(2010, 1, 1), 2); // same date, stored later

        TQuery query(&f.session);
        query.setObjectName(QStringLiteral("QGEN"));
        query.SetDatabaseName(Alias);
        query.SetSQL(RangeStatement);
        query.Open();
        QList<double> values;
        for (query.First(); !query.Eof(); query.Next()) {
            values << query.FieldByName(QStringLiteral("Val01")).Value().toDouble();
            if (values.size() == 1)
                f.AddRow(*table, QDate(2010, 7, 1), -1); // a post while the query is mid-way
        }
        QCOMPARE(values.mid(0, 2), (QList<double>{1, 2}));
        QCOMPARE(values.last(), 4.0);
        query.First(); // runs again and sees the new row
        values.clear();
        for (; !query.Eof(); query.Next())
            values << query.FieldByName(QStringLiteral("Val01")).Value().toDouble();
        QCOMPARE(values, (QList<double>{1, 2, 3, -1, 4}));
    }

    void rejectsSelect_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("error");
        const QString missing = QStringLiteral("Table does not exist: ");
        QTest::newRow("not a date") << "SELECT * FROM Nortav.DB WHERE DATA>=\"13/01/2010\""
                                    << "13/01/2010";
        QTest::newRow("unknown column") << "SELECT * FROM Nortav.DB WHERE DATUM>=\"01/01/2010\""
                                        << "DATUM";
        QTest::newRow("unknown order column") << "SELECT * FROM Nortav.DB ORDER BY Giorno ASC"
                                              << "Giorno";
        QTest::newRow("missing file") << "SELECT * FROM Altro.DB"
                                      << "Table does not exist:";
        QTest::newRow("create has no rows") << QString(u"CREATE TABLE \"X.DB" + SchemaDiario) << "rows";
    }
    void rejectsSelect()
    {
        QFETCH(QString, sql);
        QFETCH(QString, error);
        TFixture f;
        f.Create();
        TQuery query(&f.session);
        query.SetDatabaseName(Alias);
        query.SetSQL(sql);
        const QString text = ErrorOf([&] { query.Open(); });
        QVERIFY2(text.contains(error), qPrintable(text));
        QVERIFY(!query.Active());
        QVERIFY(!QFile::exists(f.Path(QStringLiteral("X.DB"))));
    }

    void protectsWithThePassword()
    {
        TFixture f;
        f.Create();
        {
            auto table = f.Table();
            f.AddRow(*table, QDate(2010, 1, 31), 1);
            table->Edit();
            table->FieldByName(QStringLiteral("ORACont01")).SetValue(QTime(7, 0));
            table->Post();
            f.AddRow(*table, QDate(2010, 2, 1), 2);
            table->Delete(); // the counter must stay past the deleted row
        }
        QFile::setPermissions(f.Path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        const QFile::Permissions mode = QFile::permissions(f.Path());
        Engine::Start();
        Engine::TDatabase database(QStringLiteral("PDOXEncryptDB7"));
        database.SetDriverName(QStringLiteral("STANDARD"));
        database.SetParams({u"path=" + f.Folder()});
        database.Open();
        Engine::TCrTblDesc desc;
        desc.tableName = TableFile;
        desc.protectedFlag = 0xFFFF;
        desc.password = Password;
        Engine::DoRestructure(database, desc);
        database.Close();
        Engine::Stop();
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{TableFile});
        QVERIFY(!FileBytes(f.Path()).startsWith("SQLite format 3"));
        QCOMPARE(QFile::permissions(f.Path()), mode);

        const QByteArray sealed = FileBytes(f.Path());
        QVERIFY(f.session.Active()); // the old connection was dropped: no password, no table
        QVERIFY_THROWS_EXCEPTION(EEngineError, f.Table());
        QCOMPARE(FileBytes(f.Path()), sealed);

        f.session.AddPassword(Password);
        auto table = f.Table();
        QCOMPARE(table->FieldByName(QStringLiteral("Data")).Value(), QVariant(QDate(2010, 1, 31)));
        f.AddRow(*table, QDate(2010, 3, 1), 3);
        QCOMPARE(table->FieldByName(QStringLiteral("OrdNum")).Value().toLongLong(), 3);
        QCOMPARE(f.Stored(), (QList<double>{1, 3}));

        const QString shell =
            Shell(f.Path(), u"PRAGMA key='" + Password +
                                u"';\nSELECT Data, ORACont01, Val01 FROM TableRows LIMIT 1;\n");
        if (shell.isEmpty())
            QSKIP("sqlcipher shell not installed");
        QVERIFY2(shell.endsWith(u"2010-01-31|07:00:00|1.0"), qPrintable(shell));
    }

    void failedProtectionLeavesTheFolder()
    {
        TFixture f;
        f.Create();
        Engine::TDatabase database(QStringLiteral("PDOXEncryptDB1"));
        database.SetDriverName(QStringLiteral("STANDARD"));
        database.SetParams({u"path=" + f.Folder()});
        database.Open();
        Engine::TCrTblDesc desc{QStringLiteral("Missing.DB"), 0xFFFF, Password};
        QVERIFY(ErrorOf([&] { Engine::DoRestructure(database, desc); }).startsWith(u"Table does not exist"));
        desc.tableName = TableFile;
        auto table = f.Table(); // open tables are not rewritten under their datasets
        QVERIFY(ErrorOf([&] { Engine::DoRestructure(database, desc); }).startsWith(u"Table is in use"));
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{TableFile});
    }

    void lockedPostStaysPending()
    {
        TFixture f;
        f.Create();
        auto table = f.Table();
        QProcess holder;
        holder.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), f.Path()});
        if (!holder.waitForStarted(5000))
            QSKIP("sqlcipher shell not installed");
        // The shell's errors reach stderr at once, so a failing query tells when the lock is held.
        holder.write("BEGIN EXCLUSIVE;\nSELECT * FROM held;\n");
        QByteArray said;
        QTRY_VERIFY2_WITH_TIMEOUT((said += holder.readAllStandardError()).contains("held"), said.constData(),
                                  5000);

        table->Append();
        table->FieldByName(QStringLiteral("Val01")).SetValue(7.0);
        const QString error = ErrorOf([&] { table->Post(); });
        QCOMPARE(error, u"Table is busy (locked by another program): " + f.Path());
        QCOMPARE(table->State(), TDataSetState::Insert);
        QVERIFY(table->Modified());
        QCOMPARE(table->FieldByName(QStringLiteral("Val01")).Value().toDouble(), 7.0);

        holder.write("COMMIT;\n.quit\n");
        QVERIFY(holder.waitForFinished(5000));
        table->Post();
        QCOMPARE(f.Stored(), QList<double>{7});
    }

    void foreignFileUntouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("script"); // makes another program's database when not empty
        QTest::addColumn<QString>("error");
        QByteArray noise(4096, '\0');
        QRandomGenerator generator(7);
        generator.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
        QTest::newRow("empty file") << QByteArray() << QString() << "Not a Sormelin table: ";
        QTest::newRow("random bytes")
            << noise << QString() << "Invalid password for table, or not a Sormelin table: ";
        QTest::newRow("text") << QByteArray("Data;Val01\n") << QString()
                              << "Invalid password for table, or not a Sormelin table: ";
        QTest::newRow("other schema") << QByteArray() << "CREATE TABLE t(x); INSERT INTO t VALUES (1);"
                                      << "Not a Sormelin table: ";
    }
    void foreignFileUntouched()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, script);
        QFETCH(QString, error);
        TFixture f;
        f.session.AddPassword(Password);
        QFile file(f.Path());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        if (!script.isEmpty() && Shell(f.Path(), script + u"\nSELECT 'made';").isEmpty())
            QSKIP("sqlcipher shell not installed");
        const QByteArray before = FileBytes(f.Path());
        const QStringList files = QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden);

        QCOMPARE(ErrorOf([&] { f.Table(); }), error + f.Path());
        TQuery query(&f.session);
        query.SetDatabaseName(Alias);
        query.SetSQL(RangeStatement);
        QCOMPARE(ErrorOf([&] { query.Open(); }), error + f.Path());
        QCOMPARE(FileBytes(f.Path()), before);
        QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden), files);
    }

    void sessionAliasesAndLife()
    {
        TFixture f;
        f.Create();
        QCOMPARE(ErrorOf([&] {
                     f.session.AddStandardAlias(Alias.toLower(), f.Folder(), QStringLiteral("PARADOX"));
                 }),
                 u"Alias already exists: " + Alias.toLower());
        f.session.DeleteAlias(QStringLiteral("nessuno")); // a missing alias is no error
        auto table = f.Table();
        table->Append();
        f.session.SetActive(false); // closes every dataset, dropping the pending row
        QVERIFY(!table->Active());
        f.session.SetNetFileDir(QStringLiteral("/tmp"));
        QVERIFY(!f.session.Active());
        f.session.DeleteAlias(Alias);
        QVERIFY(f.session.Active()); // alias calls start the session
        QCOMPARE(ErrorOf([&] { f.session.AliasPath(Alias); }), u"Unknown alias: " + Alias);
        f.session.AddStandardAlias(Alias, f.Folder(), QStringLiteral("PARADOX"));
        QCOMPARE(f.session.NetFileDir(), QStringLiteral("/tmp"));
        table->Open();
        QVERIFY(table->IsEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
