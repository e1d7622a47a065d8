#include "TestSupport.h"

#include "app/F_Main.h"
#include "app/Program.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "settings/Registro.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <optional>

using namespace Qt::StringLiterals;

using TSettings = QMap<QString, QString>;

namespace
{

const QString ConfigurazioneAssente = QStringLiteral("CONFIGURAZIONE ASSENTE");
const QString ConfigurazioneCaricata = QStringLiteral("E STATA CARICATA LA CONFIGURAZIONE DI BASE");
const QString ArchivioAssente = QStringLiteral("Archivio Dati- Assente - Premere OK per Crearlo");
const QString ArchivioCreato = QStringLiteral("Archivio Nortav.DB Creato");
const QString ErrorePrg = QStringLiteral(" ERRORE NEI PERCORSO DEL PROGRAMMA \r\r     CHIUDERE E RIAVVIARE");
const QString ErroreDati =
    QStringLiteral("    ERRORE NEI PERCORSO DEI DATI \r\r CHIUDERE E RIAVVIARE IL PROGRAMMA");
const QString ErroreCreazione =
    QStringLiteral("       ERRORE NELLA CREZIONE\r\rDEL PERCORSO DEI DATI DI LAVORO");
const QString ErroreAnno = QStringLiteral("  ERRORE NEI PERCORSO DEI DATI DI LAVORO");

QString Reg(const QString& name)
{
    return FConf->LeggiReg(ChiaveReg, name);
}

QString ExeFolder()
{
    return QCoreApplication::applicationDirPath() + QLatin1Char('/');
}

QString DataRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/');
}

// A table the program protected is encrypted: it no longer starts with SQLite's plain header.
bool IsProtected(const QString& file)
{
    QFile table(file);
    return table.open(QIODevice::ReadOnly) && !table.read(16).startsWith("SQLite format 3");
}

QByteArray Digest(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256)
                                       : QByteArray();
}

bool Bound(const QString& alias)
{
    return FDB->QGEN->DatabaseName() == alias && FDB->T_Nortav->DatabaseName() == alias &&
           FDB->T_Nortav->TableName() == QLatin1String("Nortav.DB") && !FDB->T_Nortav->Active();
}

} // namespace

class TstStartup : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstRun();
    void secondRun();
    void configured_data();
    void configured();
    void engineErrorEndsSequence_data();
    void engineErrorEndsSequence();

private:
    // Runs the program's first show as the event loop would.
    void Start();
    // The data root of a configured run, without its trailing separator; "$ROOT" stands for it.
    QString Root() const;
    // A complete configuration of a second run, with some values replaced.
    void Configure(const TSettings& overrides);

    std::optional<TTempHome> m_home;
    std::optional<TMessageRecorder> m_messages;
    std::unique_ptr<TProgram> m_program;
};

void TstStartup::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("KORVANEX"));
    QCoreApplication::setApplicationName(QStringLiteral("Sormelin"));
}

void TstStartup::init()
{
    m_home.emplace();
    m_messages.emplace();
}

void TstStartup::cleanup()
{
    m_program.reset();
    m_messages.reset();
    m_home.reset();
}

void TstStartup::Start()
{
    m_program = std::make_unique<TProgram>();
    FMain->show();
}

QString TstStartup::Root() const
{
    return m_home->Path() + QStringLiteral("/dati");
}

void TstStartup::Configure(const TSettings& overrides)
{
    QVERIFY(QDir().mkpath(Root()));
    TSettings values{{u"Conf"_s, u"OK"_s},           {u"PathPrg"_s, ExeFolder()},
                     {u"PathTemp"_s, ExeFolder()},   {u"PathDatiGen"_s, Root() + QLatin1Char('/')},
                     {u"AliasDB"_s, u"DNortav09"_s}, {u"Anno"_s, u"2011"_s},
                     {u"DBNortav"_s, u"Nortav.DB"_s}};
    for (auto it = overrides.begin(); it != overrides.end(); ++it)
        values[it.key()] = QString(it.value()).replace(QStringLiteral("$ROOT"), Root());
    for (auto it = values.begin(); it != values.end(); ++it)
        ScriviReg(ChiaveReg, it.key(), it.value());
}

// No settings file: base configuration in the user's data folder, year 2010, a new protected table.
void TstStartup::firstRun()
{
    Start();
    QCOMPARE(m_messages->Texts(),
             QStringList({ConfigurazioneAssente, ConfigurazioneCaricata, ArchivioAssente, ArchivioCreato}));
    QCOMPARE(Reg(QStringLiteral("Conf")), QStringLiteral("OK"));
    QCOMPARE(Reg(QStringLiteral("PathPrg")), ExeFolder());
    QCOMPARE(Reg(QStringLiteral("PathTemp")), ExeFolder());
    QCOMPARE(Reg(QStringLiteral("PathDatiGen")), DataRoot());
    QCOMPARE(Reg(QStringLiteral("AliasDB")), QStringLiteral("DNortav09"));
    QCOMPARE(Reg(QStringLiteral("Anno")), QStringLiteral("2010"));
    QCOMPARE(Reg(QStringLiteral("DBNortav")), QStringLiteral("Nortav.DB"));
    QVERIFY(DataRoot().startsWith(m_home->Path()));

    const QString table = DataRoot() + QStringLiteral("2010/Nortav.DB");
    QVERIFY(IsProtected(table));
    QCOMPARE(FDB->Session1->AliasPath(QStringLiteral("DNortav09")), DataRoot() + QStringLiteral("2010/"));
    QVERIFY(Bound(QStringLiteral("DNortav09")));
    QCOMPARE(FMain->Anno(), QStringLiteral("2010"));

    // The protected table opens through the registered password, empty.
    FDB->T_Nortav->Open();
    QVERIFY(FDB->T_Nortav->IsEmpty());
}

// The next start finds everything in place: no message, the table bound but left as it was.
void TstStartup::secondRun()
{
    Start();
    const QString table = DataRoot() + QStringLiteral("2010/Nortav.DB");
    const QByteArray before = Digest(table);
    m_program.reset();
    m_messages->Clear();
    // A copy left by a program killed while protecting the table.
    const QString stale = DataRoot() + QStringLiteral("2010/.Nortav.DB.a1B2c3");
    QFile copy(stale);
    QVERIFY(copy.open(QIODevice::WriteOnly));
    copy.close();

    Start();
    QCOMPARE(m_messages->Texts(), QStringList());
    QVERIFY(Bound(QStringLiteral("DNortav09")));
    QCOMPARE(FMain->Anno(), QStringLiteral("2010"));
    QCOMPARE(Digest(table), before);
    QVERIFY(!QFile::exists(stale));

    // The sequence belongs to the first show only.
    FMain->hide();
    FMain->show();
    QCOMPARE(m_messages->Texts(), QStringList());
}

void TstStartup::configured_data()
{
    QTest::addColumn<TSettings>("settings");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("yearFolder"); // empty when the sequence stops before binding
    QTest::addColumn<bool>("tableCreated");

    using M = TSettings;
    QTest::newRow("Conf in lower case writes the base configuration again")
        << M{{u"Conf"_s, u"ok"_s}, {u"Anno"_s, u"1999"_s}}
        << QStringList({ConfigurazioneAssente, ConfigurazioneCaricata, ArchivioAssente, ArchivioCreato})
        << u"<data>2010/"_s << true;
    QTest::newRow("missing PathPrg") << M{{u"PathPrg"_s, u"$ROOT/none/"_s}} << QStringList{ErrorePrg} << u""_s
                                     << false;
    QTest::newRow("empty PathPrg") << M{{u"PathPrg"_s, u""_s}} << QStringList{ErrorePrg} << u""_s << false;
    QTest::newRow("PathPrg names a file")
        << M{{u"PathPrg"_s, u"$ROOT/file"_s}} << QStringList{ErrorePrg} << u""_s << false;
    QTest::newRow("missing PathDatiGen")
        << M{{u"PathDatiGen"_s, u"$ROOT/none/"_s}} << QStringList{ErroreDati} << u""_s << false;
    QTest::newRow("empty PathDatiGen")
        << M{{u"PathDatiGen"_s, u""_s}} << QStringList{ErroreDati} << u""_s << false;
    QTest::newRow("year folder that cannot be created")
        << M{{u"Anno"_s, QString(300, u'9')}} << QStringList{ErroreCreazione} << u""_s << false;
    QTest::newRow("year with a folder separator is refused")
        << M{{u"Anno"_s, u"2011/gennaio"_s}} << QStringList{ErroreAnno} << u""_s << false;
    QTest::newRow("year leaving the data root is refused")
        << M{{u"Anno"_s, u".."_s}} << QStringList{ErroreAnno} << u""_s << false;
    QTest::newRow("PathDatiGen without trailing separator: folder beside the root")
        << M{{u"PathDatiGen"_s, u"$ROOT/anni"_s}} << QStringList({ArchivioAssente, ArchivioCreato})
        << u"$ROOT/anni2011/"_s << true;
    QTest::newRow("year folder without a table")
        << M{{u"Anno"_s, u"esistente"_s}} << QStringList({ArchivioAssente, ArchivioCreato})
        << u"$ROOT/esistente/"_s << true;
}

// A second run's settings with one or two values changed.
void TstStartup::configured()
{
    QFETCH(TSettings, settings);
    QFETCH(QStringList, messages);
    QFETCH(QString, yearFolder);
    QFETCH(bool, tableCreated);

    Configure(settings);
    QVERIFY(QDir().mkpath(Root() + QStringLiteral("/esistente")));
    QVERIFY(QDir().mkpath(Root() + QStringLiteral("/anni")));
    QVERIFY(QFile(Root() + QStringLiteral("/file")).open(QIODevice::WriteOnly));
    Start();

    QCOMPARE(m_messages->Texts(), messages);
    if (yearFolder.isEmpty()) {
        QCOMPARE(FMain->Anno(), QStringLiteral("2009"));
        QCOMPARE(FDB->T_Nortav->DatabaseName(), QString());
        QCOMPARE(FDB->QGEN->DatabaseName(), QString());
        return;
    }
    yearFolder.replace(QStringLiteral("$ROOT"), Root()).replace(QStringLiteral("<data>"), DataRoot());
    QCOMPARE(FDB->Session1->AliasPath(QStringLiteral("DNortav09")), yearFolder);
    QVERIFY(Bound(QStringLiteral("DNortav09")));
    QCOMPARE(FMain->Anno(), Reg(QStringLiteral("Anno")));
    QCOMPARE(IsProtected(yearFolder + QStringLiteral("Nortav.DB")), tableCreated);
}

void TstStartup::engineErrorEndsSequence_data()
{
    QTest::addColumn<bool>("atProtection"); // false: the error comes at creation, step 7
    QTest::newRow("step 7: a folder in the table's place") << false;
    QTest::newRow("step 10: the new table damaged before it is protected") << true;
}

// An engine error goes to the default error handler and the remaining steps are skipped.
void TstStartup::engineErrorEndsSequence()
{
    QFETCH(bool, atProtection);

    Configure({});
    const QString table = Root() + QStringLiteral("/2011/Nortav.DB");
    if (!atProtection)
        QVERIFY(QDir().mkpath(table));
    // Another program overwrites the table between its creation message and its protection.
    const TMessageSink record = SetMessageSink({});
    SetMessageSink([&](TMsgKind kind, const QString& text) {
        record(kind, text);
        QFile file(table);
        if (atProtection && text == ArchivioCreato && file.open(QIODevice::WriteOnly))
            file.write("not a table");
    });
    Start();

    QCOMPARE(m_messages->Texts().mid(0, 1), QStringList{ArchivioAssente});
    QVERIFY2(m_messages->Errors().size() == 1, qPrintable(m_messages->Texts().join(u'|')));
    QCOMPARE(m_messages->Entries().last().kind, TMsgKind::Error);
    QCOMPARE(FMain->Anno(), atProtection ? QStringLiteral("2011") : QStringLiteral("2009"));
    QCOMPARE(FDB->T_Nortav->DatabaseName(), atProtection ? QStringLiteral("DNortav09") : QString());
    if (atProtection)
        QCOMPARE(Digest(table), QCryptographicHash::hash("not a table", QCryptographicHash::Sha256));
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
