#include "data/Errors.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "tests/TestSupport.h"

#include <QDir>
#include <QFile>

#include <memory>
#include <optional>

namespace
{

const QString Alias = QStringLiteral("DProva");
const QString TableFile = QStringLiteral("Nortav.DB");

// How the alias's folder looks before a creation that must be rejected.
enum class TFolder { ExistingTable, ForeignFile, Missing, ReadOnly };

QByteArray FileBytes(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ExpectedColumns()
{
    QStringList names{QStringLiteral("OrdNum"), QStringLiteral("Data")};
    for (int i = 1; i <= 10; ++i)
        names << QStringLiteral("ORACont%1").arg(i, 2, 10, QLatin1Char('0'))
              << QStringLiteral("Val%1").arg(i, 2, 10, QLatin1Char('0'));
    return names << QStringLiteral("Note");
}

QList<TFieldType> ExpectedTypes()
{
    QList<TFieldType> types{TFieldType::AutoInc, TFieldType::Date};
    for (int i = 1; i <= 10; ++i)
        types << TFieldType::Time << TFieldType::Float;
    return types << TFieldType::Memo;
}

} // namespace

class TestDiaryTable : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void schemaLiteral();
    void dataModule();
    void createdTableIsEmptyWithTheDiaryColumns();
    void protectedTableOpensOnceTheSessionKnowsThePassword();
    void protectingAMissingTableRaises();
    void rejectedCreation_data();
    void rejectedCreation();
    void connectionSuffixStaysWithinRange();

private:
    QString Folder() const { return m_folder->path() + QLatin1Char('/'); }
    QString TablePath() const { return Folder() + TableFile; }
    void OpenDiary();
    void CheckDiaryColumns();

    std::unique_ptr<TTempHome> m_home;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::optional<TMessageRecorder> m_messages;
};

void TestDiaryTable::init()
{
    m_home = std::make_unique<TTempHome>();
    m_folder = std::make_unique<QTemporaryDir>();
    m_messages.emplace();
    FConf = new TFConf;
    FDB = new TFDB;
    FDB->Session1->AddStandardAlias(Alias, Folder(), QStringLiteral("PARADOX"));
}

void TestDiaryTable::cleanup()
{
    delete FDB;
    FDB = nullptr;
    delete FConf;
    FConf = nullptr;
    m_messages.reset();
    QFile::setPermissions(m_folder->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    m_folder.reset();
    m_home.reset();
}

void TestDiaryTable::OpenDiary()
{
    FDB->T_Nortav->SetDatabaseName(Alias);
    FDB->T_Nortav->SetTableName(TableFile);
    FDB->T_Nortav->Open();
}

void TestDiaryTable::CheckDiaryColumns()
{
    QStringList names;
    QList<TFieldType> types;
    for (const auto& field : FDB->T_Nortav->Fields()) {
        names << field->FieldName();
        types << field->DataType();
    }
    QCOMPARE(names, ExpectedColumns());
    QCOMPARE(types, ExpectedTypes());
}

void TestDiaryTable::schemaLiteral()
{
    QCOMPARE(SchemaDiario.size(), 358);
    QVERIFY(SchemaDiario.startsWith(
        QLatin1String(" \"( OrdNum AUTOINC, Data DATE, ORACont01 TIME, Val01 NUMERIC,")));
    QVERIFY(SchemaDiario.endsWith(QLatin1String(", ORACont10 TIME, Val10 NUMERIC, Note BLOB(1,1) )\"")));
}

void TestDiaryTable::dataModule()
{
    QVERIFY(FDB->Session1->Active());
    QCOMPARE(FDB->Session1->objectName(), QStringLiteral("Session1"));
    QCOMPARE(FDB->QGEN->objectName(), QStringLiteral("QGEN"));
    QCOMPARE(FDB->T_Nortav->objectName(), QStringLiteral("T_Nortav"));
    QCOMPARE(FDB->QGEN->Session(), FDB->Session1);
    QCOMPARE(FDB->T_Nortav->Session(), FDB->Session1);
    QCOMPARE(FDB->DS_QGEN->DataSet(), FDB->QGEN);
    QCOMPARE(FDB->DS_Nortav->DataSet(), FDB->T_Nortav);
    QCOMPARE(FDB->ImageList2BIG.size(), 10);
}

void TestDiaryTable::createdTableIsEmptyWithTheDiaryColumns()
{
    FConf->CreaTabella(Alias, TableFile, SchemaDiario);

    QCOMPARE(FDB->QGEN->SQL(),
             QStringLiteral(
                 "CREATE TABLE \"Nortav.DB \"( OrdNum AUTOINC, Data DATE, ORACont01 TIME, Val01 NUMERIC, "
                 "ORACont02 TIME, Val02 NUMERIC, ORACont03 TIME, Val03 NUMERIC, ORACont04 TIME, "
                 "Val04 NUMERIC, ORACont05 TIME, Val05 NUMERIC, ORACont06 TIME, Val06 NUMERIC, "
                 "ORACont07 TIME, Val07 NUMERIC, ORACont08 TIME, Val08 NUMERIC, ORACont09 TIME, "
                 "Val09 NUMERIC, ORACont10 TIME, Val10 NUMERIC, Note BLOB(1,1) )\""));
    QVERIFY(!FDB->QGEN->Active());
    QCOMPARE(m_messages->Entries().size(), 1);
    QCOMPARE(m_messages->Entries().front().kind, TMsgKind::Info);
    QCOMPARE(m_messages->Entries().front().text, QStringLiteral("Archivio Nortav.DB Creato"));
    QVERIFY(QFileInfo(TablePath()).isFile());

    OpenDiary();
    QVERIFY(FDB->T_Nortav->IsEmpty());
    CheckDiaryColumns();
}

// Protection changes nothing else: the row stored before is still there, the columns unchanged.
void TestDiaryTable::protectedTableOpensOnceTheSessionKnowsThePassword()
{
    FConf->CreaTabella(Alias, TableFile, SchemaDiario);
    OpenDiary();
    FDB->T_Nortav->Append();
    FDB->T_Nortav->FieldByName(QStringLiteral("Data")).SetValue(QDate(2011, 3, 4));
    FDB->T_Nortav->Post();
    FDB->T_Nortav->Close();

    FConf->ProteggiTabella(TablePath(), TablePassword, Folder());

    QVERIFY_THROWS_EXCEPTION(EEngineError, OpenDiary());
    QVERIFY(!FDB->T_Nortav->Active());
    FDB->Session1->AddPassword(TablePassword);
    OpenDiary();
    CheckDiaryColumns();
    QCOMPARE(FDB->T_Nortav->FieldByName(QStringLiteral("Data")).Value(), QVariant(QDate(2011, 3, 4)));
    FDB->T_Nortav->Next();
    QVERIFY(FDB->T_Nortav->Eof());
}

void TestDiaryTable::protectingAMissingTableRaises()
{
    QVERIFY_THROWS_EXCEPTION(EEngineError, FConf->ProteggiTabella(TablePath(), TablePassword, Folder()));
    QVERIFY(QDir(m_folder->path()).isEmpty());
}

void TestDiaryTable::rejectedCreation_data()
{
    QTest::addColumn<TFolder>("folder");
    QTest::newRow("existing table") << TFolder::ExistingTable;
    QTest::newRow("existing foreign file") << TFolder::ForeignFile;
    QTest::newRow("missing folder") << TFolder::Missing;
    QTest::newRow("read-only folder") << TFolder::ReadOnly;
}

void TestDiaryTable::rejectedCreation()
{
    QFETCH(TFolder, folder);
    switch (folder) {
    case TFolder::ExistingTable:
        FConf->CreaTabella(Alias, TableFile, SchemaDiario);
        break;
    case TFolder::ForeignFile: {
        QFile file(TablePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a table\n");
        break;
    }
    case TFolder::Missing:
        QVERIFY(QDir(m_folder->path()).removeRecursively());
        break;
    case TFolder::ReadOnly:
        QVERIFY(QFile::setPermissions(m_folder->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (QFile probe(Folder() + QStringLiteral("probe")); probe.open(QIODevice::WriteOnly))
            QSKIP("this user (root) writes into read-only folders");
        break;
    }
    m_messages->Clear();
    const QByteArray before = FileBytes(TablePath());

    QVERIFY_THROWS_EXCEPTION(EDatabaseError, FConf->CreaTabella(Alias, TableFile, SchemaDiario));

    QVERIFY(m_messages->Entries().isEmpty());
    QVERIFY(!FDB->QGEN->Active());
    QCOMPARE(FileBytes(TablePath()), before);
    QCOMPARE(QDir(m_folder->path()).exists(), folder != TFolder::Missing);
}

// The bound must hold whatever the clock gives as a seed, and both ends must be reachable.
void TestDiaryTable::connectionSuffixStaysWithinRange()
{
    QList<quint32> seeds{0xFFFFFFFFu, 0x80000000u};
    for (quint32 seed = 0; seed < 5000; ++seed)
        seeds << seed;
    QSet<int> seen;
    for (const quint32 seed : seeds) {
        const int suffix = SuffissoConnessione(seed);
        QVERIFY2(suffix >= 0 && suffix <= 49, qPrintable(QString::number(suffix)));
        seen.insert(suffix);
    }
    QCOMPARE(seen.size(), 50);
}

QTEST_MAIN(TestDiaryTable)

#include "tst_diarytable.moc"
