#include "TestSupport.h"

#include "app/F_Main.h"
#include "app/Layout.h"
#include "app/Program.h"
#include "archive/F_CambioAnno.h"
#include "archive/F_CreaArchivio.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "diary/P_Grafico.h"
#include "settings/Registro.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <memory>

namespace
{

const QString Alias = QStringLiteral("DNortav09");
const QString Tabella = QStringLiteral("Nortav.DB");
const QString Assente = QStringLiteral("Archivio Dati - Assente - Premere OK per Crearlo");
const QString Creato = QStringLiteral("Archivio Nortav.DB Creato");
const QString NonValido = QStringLiteral("ANNO DI LAVORO NON VALIDO");

QString Leggi(const QString& name)
{
    return FConf->LeggiReg(ChiaveReg, name);
}

QByteArray Contenuto(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Opens a table file of a folder on a session of its own, which knows the table password or not.
bool SiApre(const QString& cartella, bool conPassword)
{
    TSession session;
    if (conPassword)
        session.AddPassword(TablePassword);
    session.AddStandardAlias(QStringLiteral("Verifica"), cartella, QStringLiteral("PARADOX"));
    TTable table(&session);
    table.SetDatabaseName(QStringLiteral("Verifica"));
    table.SetTableName(Tabella);
    try {
        table.Open();
    } catch (const EDatabaseError&) {
        return false;
    }
    return true;
}

// The values of Val01 of the rows of an open dataset, in order.
QList<int> Valori(TDataSet& dataSet)
{
    QList<int> values;
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
        values << dataSet.FieldByName(QStringLiteral("Val01")).AsInteger();
    return values;
}

} // namespace

// The engine may keep the alias's folder in its own spelling.
#define QCOMPARE_PATH(actual, expected) QCOMPARE(QDir::cleanPath(actual), QDir::cleanPath(expected))

// Each test starts where the start-up leaves the program: the settings of one user, a data root with
// the protected table of 2010 holding one day, the alias on it, the components bound, the diary never
// opened.
class TstArchive : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void showAndCancel_data();
    void showAndCancel();

    void yearRefused_data();
    void yearRefused();
    void yearChange_data();
    void yearChange();
    void yearChangeMovesDiaryAndChart();
    void yearChangeEngineError();

    void newArchive();
    void newArchiveExisting_data();
    void newArchiveExisting();
    void newArchiveFolderNotCreated_data();
    void newArchiveFolderNotCreated();
    void newArchiveOutsideRoot_data();
    void newArchiveOutsideRoot();

private:
    QString Cartella(const QString& anno) const { return m_root + anno + QLatin1Char('/'); }
    void CreaTabellaIn(const QString& anno, double val01);
    void AggiungiGiorno(const QString& alias, QDate data, double val01);
    TDialogoAnno* Dialogo(const QString& nome) const;
    void Conferma(TDialogoAnno* dialogo, const QString& anno);
    void VerificaNienteCambiato(TDialogoAnno* dialogo, const QString& anno);

    std::unique_ptr<TTempHome> m_home;
    std::unique_ptr<TProgram> m_program;
    std::unique_ptr<TMessageRecorder> m_messages;
    QString m_root;
};

void TstArchive::init()
{
    m_home = std::make_unique<TTempHome>();
    m_root = m_home->Path() + QStringLiteral("/dati/");
    QVERIFY(QDir().mkpath(Cartella(QStringLiteral("2010"))));
    ScriviReg(ChiaveReg, QStringLiteral("PathDatiGen"), m_root);
    ScriviReg(ChiaveReg, QStringLiteral("AliasDB"), Alias);
    ScriviReg(ChiaveReg, QStringLiteral("Anno"), QStringLiteral("2010"));
    ScriviReg(ChiaveReg, QStringLiteral("DBNortav"), Tabella);
    m_program = std::make_unique<TProgram>();
    m_messages = std::make_unique<TMessageRecorder>();

    FDB->Session1->AddPassword(TablePassword);
    FDB->Session1->AddStandardAlias(Alias, Cartella(QStringLiteral("2010")), QStringLiteral("PARADOX"));
    FConf->CreaTabella(Alias, Tabella, SchemaDiario);
    AggiungiGiorno(Alias, QDate(2010, 3, 1), 100);
    FConf->ProteggiTabella(Tabella, TablePassword, Cartella(QStringLiteral("2010")));
    FDB->QGEN->SetDatabaseName(Alias);
    FDB->T_Nortav->SetDatabaseName(Alias);
    FDB->T_Nortav->SetTableName(Tabella);
    FMain->MostraAnno(QStringLiteral("2010"));
    m_messages->Clear();
}

void TstArchive::cleanup()
{
    m_program.reset();
    m_messages.reset();
    m_home.reset();
}

// A table made by hand in another year's folder, unprotected, holding one day.
void TstArchive::CreaTabellaIn(const QString& anno, double val01)
{
    const QString alias = QStringLiteral("Prova");
    QVERIFY(QDir().mkpath(Cartella(anno)));
    FDB->Session1->AddStandardAlias(alias, Cartella(anno), QStringLiteral("PARADOX"));
    FConf->CreaTabella(alias, Tabella, SchemaDiario);
    AggiungiGiorno(alias, QDate(anno.toInt(), 3, 1), val01);
    FDB->Session1->DeleteAlias(alias);
    FDB->QGEN->SetDatabaseName(Alias); // the creation left it on the other alias
    m_messages->Clear();
}

void TstArchive::AggiungiGiorno(const QString& alias, QDate data, double val01)
{
    TTable table(FDB->Session1);
    table.SetDatabaseName(alias);
    table.SetTableName(Tabella);
    table.Open();
    table.Append();
    table.FieldByName(QStringLiteral("Data")).SetValue(data);
    table.FieldByName(QStringLiteral("Val01")).SetValue(val01);
    table.Post();
    table.Close();
}

TDialogoAnno* TstArchive::Dialogo(const QString& nome) const
{
    return nome == QLatin1String("FCambioAnno") ? static_cast<TDialogoAnno*>(FCambioAnno)
                                                : static_cast<TDialogoAnno*>(FCreaArchivio);
}

// Shows the dialog as the menu does (its FormShow, without the modal loop), types the year and confirms.
void TstArchive::Conferma(TDialogoAnno* dialogo, const QString& anno)
{
    dialogo->FormShow();
    dialogo->show();
    dialogo->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(anno);
    dialogo->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
}

// The dialog is still open with the typed text, and the program still works on 2010.
void TstArchive::VerificaNienteCambiato(TDialogoAnno* dialogo, const QString& anno)
{
    QVERIFY(dialogo->isVisible());
    QCOMPARE(dialogo->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), anno);
    QCOMPARE(Leggi(QStringLiteral("Anno")), QStringLiteral("2010"));
    QCOMPARE(FMain->Anno(), QStringLiteral("2010"));
    QCOMPARE(FDB->T_Nortav->DatabaseName(), Alias);
    QCOMPARE(FDB->T_Nortav->TableName(), Tabella);
}

void TstArchive::layout_data()
{
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("annullaLeft");
    QTest::newRow("year change") << QStringLiteral("FCambioAnno") << QStringLiteral("Cambio Anno")
                                 << QSize(192, 129) << 16 << 96;
    QTest::newRow("new archive") << QStringLiteral("FCreaArchivio") << QStringLiteral("Crea Nuovo Archivio")
                                 << QSize(242, 138) << 48 << 128;
}

void TstArchive::layout()
{
    QFETCH(QString, nome);
    QFETCH(QString, caption);
    QFETCH(QSize, outer);
    QFETCH(int, left);
    QFETCH(int, annullaLeft);
    TDialogoAnno* dialogo = Dialogo(nome);
    QCOMPARE(dialogo->parentWidget(), FMain);
    QCOMPARE(dialogo->windowTitle(), caption);
    QCOMPARE(dialogo->size(), ClientSize(outer));
    QCOMPARE(dialogo->windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
             Qt::WindowCloseButtonHint);
    QCOMPARE(dialogo->palette().color(QPalette::Window), QColor(Qt::white));

    auto* label = dialogo->findChild<QLabel*>(QStringLiteral("StaticText1"));
    auto* edit1 = dialogo->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    auto* conferma = dialogo->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    auto* annulla = dialogo->findChild<QPushButton*>(QStringLiteral("BitBtn2"));
    QVERIFY(label && edit1 && conferma && annulla);
    QCOMPARE(label->text(), QStringLiteral("Anno di Lavoro"));
    QCOMPARE(label->geometry(), QRect(left, 8, 153, 17));
    QCOMPARE(label->palette().color(QPalette::Window), BgrColor(SkyBlue));
    QCOMPARE(edit1->geometry(), QRect(left, 32, 153, 24));
    QCOMPARE(conferma->text(), QStringLiteral("&Conferma"));
    QCOMPARE(conferma->geometry(), QRect(left, 64, 73, 25));
    QCOMPARE(annulla->text(), QStringLiteral("&Annulla"));
    QCOMPARE(annulla->geometry(), QRect(annullaLeft, 64, 75, 25));
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(edit1)}) {
        QCOMPARE(w->font().family(), QStringLiteral("Tahoma"));
        QCOMPARE(w->font().pixelSize(), 13);
        QVERIFY(w->font().bold());
    }
}

void TstArchive::showAndCancel_data()
{
    QTest::addColumn<QString>("nome");
    QTest::newRow("year change") << QStringLiteral("FCambioAnno");
    QTest::newRow("new archive") << QStringLiteral("FCreaArchivio");
}

// Opened modally the dialog shows the working year; Annulla closes it and nothing changes.
void TstArchive::showAndCancel()
{
    QFETCH(QString, nome);
    TDialogoAnno* dialogo = Dialogo(nome);
    QCOMPARE(dialogo->findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QString());
    QString mostrato;
    QWidget* modale = nullptr;
    QTimer::singleShot(0, [&] {
        modale = QApplication::activeModalWidget();
        if (modale != dialogo) {
            if (modale)
                modale->close();
            return;
        }
        auto* edit1 = dialogo->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        mostrato = edit1->text();
        edit1->setText(QStringLiteral("2011"));
        dialogo->findChild<QPushButton*>(QStringLiteral("BitBtn2"))->click();
    });
    dialogo->ShowModal();
    QCOMPARE(modale, dialogo);
    QCOMPARE(mostrato, QStringLiteral("2010"));
    QVERIFY(!dialogo->isVisible());
    QVERIFY(!QFileInfo::exists(Cartella(QStringLiteral("2011"))));
    QCOMPARE(Leggi(QStringLiteral("Anno")), QStringLiteral("2010"));
    QCOMPARE_PATH(FDB->Session1->AliasPath(Alias), Cartella(QStringLiteral("2010")));
    QCOMPARE(m_messages->Texts(), QStringList());
}

void TstArchive::yearRefused_data()
{
    QTest::addColumn<QString>("anno");
    QTest::addColumn<bool>("fileAlPosto");
    QTest::newRow("no such folder") << QStringLiteral("2011") << false;
    QTest::newRow("a file, not a folder") << QStringLiteral("2011") << true;
    QTest::newRow("below a missing folder") << QStringLiteral("2011/01") << false;
}

void TstArchive::yearRefused()
{
    QFETCH(QString, anno);
    QFETCH(bool, fileAlPosto);
    if (fileAlPosto) {
        QFile file(m_root + anno);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    Conferma(FCambioAnno, anno);
    QCOMPARE(m_messages->Texts(), QStringList{NonValido});
    VerificaNienteCambiato(FCambioAnno, anno);
    QCOMPARE_PATH(FDB->Session1->AliasPath(Alias), Cartella(QStringLiteral("2010")));
    QCOMPARE(QFileInfo(m_root + anno).isFile(), fileAlPosto);
    QVERIFY(!QFileInfo::exists(Cartella(anno) + Tabella));
}

void TstArchive::yearChange_data()
{
    QTest::addColumn<QString>("anno");
    QTest::addColumn<bool>("cartellaVuota");
    QTest::newRow("the current year") << QStringLiteral("2010") << false;
    QTest::newRow("a folder made by hand") << QStringLiteral("2011") << true;
    QTest::newRow("a name that is not a number") << QStringLiteral("vecchio archivio") << true;
}

// The year is switched; a folder without a table gets an empty, unprotected one that the diary opens.
void TstArchive::yearChange()
{
    QFETCH(QString, anno);
    QFETCH(bool, cartellaVuota);
    const QString cartella = Cartella(anno);
    QVERIFY(QDir().mkpath(cartella));
    const QByteArray prima = Contenuto(cartella + Tabella);

    Conferma(FCambioAnno, anno);
    QCOMPARE(m_messages->Errors(), QStringList());
    QCOMPARE(m_messages->Texts(), cartellaVuota ? (QStringList{Assente, Creato}) : QStringList());
    QVERIFY(!FCambioAnno->isVisible());
    QCOMPARE(Leggi(QStringLiteral("Anno")), anno);
    QCOMPARE(FMain->Anno(), anno);
    QCOMPARE_PATH(FDB->Session1->AliasPath(Alias), cartella);
    if (cartellaVuota)
        QVERIFY(SiApre(cartella, false));
    else
        QCOMPARE(Contenuto(cartella + Tabella), prima);

    FDB->T_Nortav->Open();
    QCOMPARE(FDB->T_Nortav->IsEmpty(), cartellaVuota);
    QCOMPARE(FDB->T_Nortav->Fields().size(), std::size_t(23));
}

// After the change the diary and the chart read the new year's table; the old one is as it was.
void TstArchive::yearChangeMovesDiaryAndChart()
{
    CreaTabellaIn(QStringLiteral("2011"), 200);
    const QByteArray vecchia = Contenuto(Cartella(QStringLiteral("2010")) + Tabella);
    FDB->QGEN->SetSQL(QStringLiteral("SELECT * FROM Nortav.DB"));
    FDB->QGEN->Open(); // the chart's query and the diary table left open on the old year
    FDB->T_Nortav->Open();

    Conferma(FCambioAnno, QStringLiteral("2011"));
    QCOMPARE(m_messages->Texts(), QStringList());
    QVERIFY(!FDB->QGEN->Active());
    QVERIFY(!FDB->T_Nortav->Active());

    FDB->T_Nortav->Open();
    QCOMPARE(Valori(*FDB->T_Nortav), QList<int>{200});
    FDB->T_Nortav->Append();
    FDB->T_Nortav->FieldByName(QStringLiteral("Val01")).SetValue(210.0);
    FDB->T_Nortav->Post();
    FDB->T_Nortav->Close();

    TPGrafico grafico;
    grafico.Visualizza(QStringLiteral("01/01/2010"), QStringLiteral("12/31/2011"));
    QVERIFY(FDB->QGEN->Active());
    QCOMPARE(Valori(*FDB->QGEN), QList<int>{200});

    QCOMPARE(Contenuto(Cartella(QStringLiteral("2010")) + Tabella), vecchia);
    QVERIFY(SiApre(Cartella(QStringLiteral("2010")), true));
}

// An engine error in the middle goes to the default error handler and the year is not stored.
void TstArchive::yearChangeEngineError()
{
    QVERIFY(QDir().mkpath(Cartella(QStringLiteral("2011")) + Tabella)); // a folder where the table should be
    Conferma(FCambioAnno, QStringLiteral("2011"));
    QCOMPARE(m_messages->Texts().value(0), Assente);
    QCOMPARE(m_messages->Errors().size(), 1);
    VerificaNienteCambiato(FCambioAnno, QStringLiteral("2011"));
    QVERIFY(QFileInfo(Cartella(QStringLiteral("2011")) + Tabella).isDir());
}

// A new year: its folder and an empty table that only the password opens; the diary opens on it.
void TstArchive::newArchive()
{
    const QString cartella = Cartella(QStringLiteral("2011"));
    Conferma(FCreaArchivio, QStringLiteral("2011"));
    QCOMPARE(m_messages->Texts(), (QStringList{Assente, Creato}));
    QVERIFY(!FCreaArchivio->isVisible());
    QVERIFY(QFileInfo(cartella).isDir());
    QCOMPARE(Leggi(QStringLiteral("Anno")), QStringLiteral("2011"));
    QCOMPARE(FMain->Anno(), QStringLiteral("2011"));
    QCOMPARE_PATH(FDB->Session1->AliasPath(Alias), cartella);
    QVERIFY(!SiApre(cartella, false));
    QVERIFY(SiApre(cartella, true));

    FDB->T_Nortav->Open();
    QVERIFY(FDB->T_Nortav->IsEmpty());
    QCOMPARE(FDB->T_Nortav->Fields().size(), std::size_t(23));
}

void TstArchive::newArchiveExisting_data()
{
    QTest::addColumn<QString>("anno");
    QTest::addColumn<bool>("protetta");
    QTest::newRow("the current year, protected") << QStringLiteral("2010") << true;
    QTest::newRow("a table made by the year change, unprotected") << QStringLiteral("2011") << false;
}

// An existing table is neither created again nor protected: the command acts as a year change.
void TstArchive::newArchiveExisting()
{
    QFETCH(QString, anno);
    QFETCH(bool, protetta);
    if (!protetta)
        CreaTabellaIn(anno, 200);
    const QString cartella = Cartella(anno);
    const QByteArray prima = Contenuto(cartella + Tabella);
    QVERIFY(!prima.isEmpty());

    Conferma(FCreaArchivio, anno);
    QCOMPARE(m_messages->Texts(), QStringList());
    QVERIFY(!FCreaArchivio->isVisible());
    QCOMPARE(Leggi(QStringLiteral("Anno")), anno);
    QCOMPARE(FMain->Anno(), anno);
    QCOMPARE_PATH(FDB->Session1->AliasPath(Alias), cartella);
    QCOMPARE(Contenuto(cartella + Tabella), prima);
    QCOMPARE(SiApre(cartella, false), !protetta);
}

void TstArchive::newArchiveFolderNotCreated_data()
{
    QTest::addColumn<QString>("anno");
    QTest::addColumn<bool>("fileAlPosto");
    QTest::newRow("a file in the folder's place") << QStringLiteral("2011") << true;
    QTest::newRow("a name too long for the file system") << QString(300, QLatin1Char('9')) << false;
}

// The folder cannot be made: the table creation fails with the engine's error and nothing is stored.
void TstArchive::newArchiveFolderNotCreated()
{
    QFETCH(QString, anno);
    QFETCH(bool, fileAlPosto);
    if (fileAlPosto) {
        QFile file(m_root + anno);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    Conferma(FCreaArchivio, anno);
    QCOMPARE(m_messages->Texts().value(0), Assente);
    QCOMPARE(m_messages->Errors().size(), 1);
    QCOMPARE(m_messages->Texts().size(), 2);
    VerificaNienteCambiato(FCreaArchivio, anno);
    QCOMPARE(QFileInfo(m_root + anno).isFile(), fileAlPosto);
    if (fileAlPosto)
        QCOMPARE(Contenuto(m_root + anno), QByteArray("x"));
}

void TstArchive::newArchiveOutsideRoot_data()
{
    QTest::addColumn<QString>("anno");
    QTest::newRow("empty") << QString();
    QTest::newRow("the root itself") << QStringLiteral(".");
    QTest::newRow("the root's parent") << QStringLiteral("..");
    QTest::newRow("beside the root") << QStringLiteral("../2011");
    QTest::newRow("below a year") << QStringLiteral("2010/01");
}

// A year that does not name one folder inside the data root is refused before anything is created.
void TstArchive::newArchiveOutsideRoot()
{
    QFETCH(QString, anno);
    const QStringList root = QDir(m_root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    const QStringList parent =
        QDir(m_home->Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    Conferma(FCreaArchivio, anno);
    QCOMPARE(m_messages->Texts(), QStringList{NonValido});
    VerificaNienteCambiato(FCreaArchivio, anno);
    QCOMPARE(QDir(m_root).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), root);
    QCOMPARE(QDir(m_home->Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), parent);
    QVERIFY(!QFileInfo::exists(Cartella(QStringLiteral("2010/01"))));
}

QTEST_MAIN(TstArchive)
#include "tst_archive.moc"
