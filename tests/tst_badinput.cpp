#include "TestSupport.h"

#include "app/F_Main.h"
#include "app/Program.h"
#include "archive/F_CambioAnno.h"
#include "archive/F_CreaArchivio.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "diary/F_Agenda.h"
#include "diary/MaskEdit.h"
#include "diary/P_Grafico.h"
#include "settings/Registro.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

using TRighe = QList<QVariantMap>;

namespace
{

const QString Alias = u"DNortav09"_s;
const QString Tabella = u"Nortav.DB"_s;
const QString Assente = u"Archivio Dati - Assente - Premere OK per Crearlo"_s;
const QString AssenteAvvio = u"Archivio Dati- Assente - Premere OK per Crearlo"_s;
const QString NonValido = u"ANNO DI LAVORO NON VALIDO"_s;
// In a list of expected messages: any one error of the engine or the settings store.
const QString UnErrore = u"<error>"_s;
// The start-up's refusal of a year folder it cannot use.
const QString FuoriAnno = u"  ERRORE NEI PERCORSO DEI DATI DI LAVORO"_s;
// A setting value that is no string: the store keeps it as a byte array.
const QString NonTesto = u"<bytes>"_s;

const QString Lungo = QString(10000, u'7');

QString Leggi(const QString& name)
{
    return FConf->LeggiReg(ChiaveReg, name);
}

// Writes a setting as the program would, or as a value that is not a string.
void Imposta(const QString& name, const QString& value)
{
    if (value != NonTesto) {
        ScriviReg(ChiaveReg, name, value);
        return;
    }
    QSettings store(TRegStore(ChiaveReg).FileName(), QSettings::IniFormat);
    store.remove(name);
    store.setValue(name, QByteArray("2011"));
    store.sync();
}

} // namespace

// Each test runs the program from a configured second start: a data root whose 2010 folder holds the
// protected diary table with one day. Every case then checks that the stored day is as it was and that
// nothing appeared outside the data root.
class TstBadInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typedInDiary_data();
    void typedInDiary();
    void chartDates_data();
    void chartDates();
    void chartTableSetting_data();
    void chartTableSetting();
    void yearText_data();
    void yearText();
    void dialogSettings_data();
    void dialogSettings();
    void startupSettings_data();
    void startupSettings();

private:
    QString Cartella(const QString& anno) const { return m_root + anno + u'/'; }
    void Avvia();
    void Prepara();
    TRighe Righe() const;
    QStringList FuoriRadice() const;
    QStringList Voci(const QString& cartella) const;
    QStringList Messaggi(const QStringList& attesi) const;
    void VerificaIntatto() const;
    template <typename T> T* Trova(QObject* parent, const QString& name) const
    {
        T* object = parent->findChild<T*>(name);
        if (!object)
            qFatal("no control %s", qPrintable(name));
        return object;
    }

    std::optional<TTempHome> m_home;
    std::optional<TMessageRecorder> m_messages;
    std::unique_ptr<TProgram> m_program;
    QLocale m_savedLocale;
    QByteArray m_tabella; // the 2010 table file every test starts from
    QString m_root;
    TRighe m_righe;
    QStringList m_fuori;
};

// The first start creates the protected 2010 table; one day is stored in it through the diary table.
// Its file is kept for every test, which so starts as a second run.
void TstBadInput::initTestCase()
{
    init();
    Avvia();
    QCOMPARE(m_messages->Errors(), QStringList());
    TTable* table = FDB->T_Nortav;
    table->Open();
    table->Append();
    table->FieldByName(u"Data"_s).SetValue(QDate(2010, 3, 1));
    table->FieldByName(u"ORACont01"_s).SetValue(QTime(7, 0));
    table->FieldByName(u"Val01"_s).SetValue(100.0);
    table->FieldByName(u"Note"_s).SetValue(u"nota"_s);
    table->Post();
    m_program.reset();
    QFile file(Cartella(u"2010"_s) + Tabella);
    QVERIFY(file.open(QIODevice::ReadOnly));
    m_tabella = file.readAll();
    file.close();
    cleanup();
}

void TstBadInput::init()
{
    m_savedLocale = QLocale();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    m_home.emplace();
    m_messages.emplace();
    m_root = m_home->Path() + u"/dati/"_s;
    QVERIFY(QDir().mkpath(Cartella(u"2010"_s)));
    if (!m_tabella.isEmpty()) {
        QFile file(Cartella(u"2010"_s) + Tabella);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(m_tabella), m_tabella.size());
    }
    const QString exe = QCoreApplication::applicationDirPath() + u'/';
    const std::pair<QString, QString> settings[] = {
        {u"Conf"_s, u"OK"_s},  {u"PathPrg"_s, exe},    {u"PathTemp"_s, exe},    {u"PathDatiGen"_s, m_root},
        {u"AliasDB"_s, Alias}, {u"Anno"_s, u"2010"_s}, {u"DBNortav"_s, Tabella}};
    for (const auto& [name, value] : settings)
        ScriviReg(ChiaveReg, name, value);
}

void TstBadInput::cleanup()
{
    m_program.reset();
    m_messages.reset();
    m_home.reset();
    QLocale::setDefault(m_savedLocale);
}

// Creates the program's objects and runs the start-up sequence, as the first show does.
void TstBadInput::Avvia()
{
    m_program = std::make_unique<TProgram>();
    FMain->show();
}

// A second start on the stored day; what it looks like is kept for the checks.
void TstBadInput::Prepara()
{
    Avvia();
    QCOMPARE(m_messages->Texts(), QStringList());
    m_righe = Righe();
    QCOMPARE(m_righe.size(), 1);
    m_fuori = FuoriRadice();
}

// The stored rows of the 2010 table, read through an alias and a table of their own.
TRighe TstBadInput::Righe() const
{
    TSession* session = FDB->Session1;
    session->AddPassword(TablePassword);
    session->DeleteAlias(u"Verifica"_s);
    session->AddStandardAlias(u"Verifica"_s, Cartella(u"2010"_s), u"PARADOX"_s);
    TTable table(session);
    table.SetDatabaseName(u"Verifica"_s);
    table.SetTableName(Tabella);
    table.Open();
    TRighe righe;
    for (; !table.IsEmpty() && !table.Eof(); table.Next()) {
        QVariantMap riga;
        for (const auto& field : table.Fields())
            riga.insert(field->FieldName(), field->Value());
        righe << riga;
    }
    return righe;
}

// Every file and folder of the temporary home outside the data root, the settings folder and the
// toolkit's cache (fonts may be cached there at any time).
QStringList TstBadInput::FuoriRadice() const
{
    const QStringList skipped = {m_root, m_home->Path() + u"/config/"_s, m_home->Path() + u"/cache/"_s};
    QStringList found;
    QDirIterator it(m_home->Path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString folder = path + u'/';
        if (std::none_of(skipped.begin(), skipped.end(),
                         [&](const QString& s) { return folder.startsWith(s); }))
            found << path;
    }
    found.sort();
    return found;
}

QStringList TstBadInput::Voci(const QString& cartella) const
{
    return QDir(cartella).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

// The recorded messages, each error that the expectation leaves open replaced by its placeholder.
QStringList TstBadInput::Messaggi(const QStringList& attesi) const
{
    QStringList texts = m_messages->Texts();
    const QList<TMessageRecorder::TEntry>& entries = m_messages->Entries();
    for (qsizetype i = 0; i < texts.size() && i < attesi.size(); ++i)
        if (attesi.at(i) == UnErrore && entries.at(i).kind == TMsgKind::Error)
            texts[i] = UnErrore;
    return texts;
}

// The stored day is unchanged and nothing was created outside the data root.
void TstBadInput::VerificaIntatto() const
{
    QCOMPARE(FuoriRadice(), m_fuori);
    QCOMPARE(Righe(), m_righe);
}

void TstBadInput::typedInDiary_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");  // empty when the text is taken
    QTest::addColumn<QVariant>("value"); // the stored column once the row is saved
    QTest::addColumn<QLocale>("locale");

    const QVariant null;
    const QLocale it(QLocale::Italian, QLocale::Italy);
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    const auto time = [](const QString& text) { return u"'%1' is not a valid time."_s.arg(text); };
    const auto date = [](const QString& text) { return u"'%1' is not a valid date."_s.arg(text); };
    const auto value = [](const QString& text) {
        return u"'%1' is not a valid floating point value for field 'Val01'"_s.arg(text);
    };
    // clang-format off
    QTest::newRow("time empty")             << "ORACont01" << "" << "" << null << it;
    QTest::newRow("time blanks")            << "ORACont01" << "   " << "" << null << it;
    QTest::newRow("time letters")           << "ORACont01" << "ab:cd" << time(u"ab:cd"_s) << null << it;
    QTest::newRow("time 24:00")             << "ORACont01" << "24:00" << time(u"24:00"_s) << null << it;
    QTest::newRow("time minutes 60")        << "ORACont01" << "12:60" << time(u"12:60"_s) << null << it;
    QTest::newRow("time seconds 60")        << "ORACont01" << "12:30:60" << time(u"12:30:60"_s) << null << it;
    QTest::newRow("time negative")          << "ORACont01" << "-1:00" << time(u"-1:00"_s) << null << it;
    QTest::newRow("time other separator")   << "ORACont01" << "7.30.00" << time(u"7.30.00"_s) << null << it;
    QTest::newRow("time placeholder text")  << "ORACont01" << "%1 %2" << time(u"%1 %2"_s) << null << it;
    QTest::newRow("time 10,000 characters") << "ORACont01" << Lungo << time(Lungo) << null << it;
    QTest::newRow("time, hour only")        << "ORACont01" << " 8 " << "" << QVariant(QTime(8, 0)) << it;
    QTest::newRow("date empty")             << "Data" << "" << "" << null << it;
    QTest::newRow("date blanks")            << "Data" << "  " << "" << null << it;
    QTest::newRow("date letters")           << "Data" << "uno/due/2010" << date(u"uno/due/2010"_s) << null << it;
    QTest::newRow("date 31/02")             << "Data" << "31/02/2010" << date(u"31/02/2010"_s) << null << it;
    QTest::newRow("date 29/02 of 2011")     << "Data" << "29/02/2011" << date(u"29/02/2011"_s) << null << it;
    QTest::newRow("date month 13")          << "Data" << "01/13/2010" << date(u"01/13/2010"_s) << null << it;
    QTest::newRow("date zeros")             << "Data" << "00/00/0000" << date(u"00/00/0000"_s) << null << it;
    QTest::newRow("date five-digit year")   << "Data" << "01/03/20100" << date(u"01/03/20100"_s) << null << it;
    QTest::newRow("date other separator")   << "Data" << "01-03-2010" << date(u"01-03-2010"_s) << null << it;
    QTest::newRow("date 10,000 characters") << "Data" << Lungo << date(Lungo) << null << it;
    QTest::newRow("date 29/02 of 2012")     << "Data" << "29/02/2012" << "" << QVariant(QDate(2012, 2, 29)) << it;
    QTest::newRow("value empty")            << "Val01" << "" << "" << null << it;
    QTest::newRow("value blanks")           << "Val01" << "  " << "" << null << it;
    QTest::newRow("value letters")          << "Val01" << "cento" << value(u"cento"_s) << null << it;
    QTest::newRow("value other separator")  << "Val01" << "98.5" << value(u"98.5"_s) << null << it;
    QTest::newRow("value group separator")  << "Val01" << "1.000" << value(u"1.000"_s) << null << it;
    QTest::newRow("value two separators")   << "Val01" << "9,8,5" << value(u"9,8,5"_s) << null << it;
    QTest::newRow("value beyond a double")  << "Val01" << "1e400" << value(u"1e400"_s) << null << it;
    QTest::newRow("value not a number")     << "Val01" << "nan" << value(u"nan"_s) << null << it;
    QTest::newRow("value infinity")         << "Val01" << "inf" << value(u"inf"_s) << null << it;
    QTest::newRow("value 10,000 digits")    << "Val01" << Lungo << value(Lungo) << null << it;
    QTest::newRow("value decimal")          << "Val01" << "98,5" << "" << QVariant(98.5) << it;
    QTest::newRow("value negative")         << "Val01" << "-5" << "" << QVariant(-5.0) << it;
    QTest::newRow("notes 10,000 characters") << "Note" << Lungo << "" << QVariant(Lungo) << it;
    QTest::newRow("notes empty")            << "Note" << "" << "" << null << it;
    // Under English the comma groups thousands: it is no decimal separator, and no group is read.
    QTest::newRow("value, English: comma")  << "Val01" << "98,5" << value(u"98,5"_s) << null << en;
    QTest::newRow("value, English: group")  << "Val01" << "1,000" << value(u"1,000"_s) << null << en;
    QTest::newRow("value, English: period") << "Val01" << "98.5" << "" << QVariant(98.5) << en;
    // clang-format on
}

// Text typed into a control of the stored day and the control left with Tab: a refused text keeps the
// focus and is refused again by the save, and the stored day stays as it was.
void TstBadInput::typedInDiary()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, error);
    QFETCH(QVariant, value);
    QFETCH(QLocale, locale);

    QLocale::setDefault(locale);
    Prepara();
    FDB->T_Nortav->Open();
    FAgenda->show();
    QApplication::setActiveWindow(FAgenda);
    QVERIFY(QTest::qWaitForWindowActive(FAgenda));
    FAgenda->Modifica1Click();

    auto* edit = Trova<QWidget>(FAgenda, control);
    edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    if (auto* line = qobject_cast<QLineEdit*>(edit))
        line->insert(text);
    else
        qobject_cast<QPlainTextEdit*>(edit)->insertPlainText(text);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();

    if (error.isEmpty()) {
        QCOMPARE(m_messages->Texts(), QStringList());
        FAgenda->Salva1Click();
        QCOMPARE(m_messages->Texts(), QStringList());
        TRighe attese = m_righe;
        attese[0][control] = value;
        QCOMPARE(Righe(), attese);
        QCOMPARE(FuoriRadice(), m_fuori);
        return;
    }
    QCOMPARE(m_messages->Errors(), QStringList{error});
    QCOMPARE(QApplication::focusWidget(), edit);
    m_messages->Clear();
    FAgenda->Salva1Click();
    QCOMPARE(m_messages->Errors(), QStringList{error});
    QCOMPARE(FDB->T_Nortav->State(), TDataSetState::Edit);
    VerificaIntatto();
    FAgenda->Annulla1Click();
    VerificaIntatto();
}

void TstBadInput::chartDates_data()
{
    QTest::addColumn<QString>("dal"); // keys typed into TDal, none for an untouched field
    QTest::addColumn<QString>("al");
    QTest::addColumn<QString>("error"); // empty when the range is drawn
    QTest::addColumn<int>("points");
    QTest::addColumn<QLocale>("locale"); // the user's, when not Italian

    const QLocale it(QLocale::Italian, QLocale::Italy);
    const auto literal = [](const QString& text) { return u"Invalid date literal \"%1\""_s.arg(text); };
    // clang-format off
    QTest::newRow("both untouched")        << "" << "" << literal(u"  /  /    "_s) << 0 << it;
    QTest::newRow("letters are not taken") << "ab/cd/efgh" << "03312010" << literal(u"  /  /    "_s) << 0 << it;
    QTest::newRow("half typed")            << "0301" << "03312010" << literal(u"03/01/    "_s) << 0 << it;
    QTest::newRow("month only")            << "03" << "03312010" << literal(u"03/  /    "_s) << 0 << it;
    QTest::newRow("February 31")           << "02312010" << "03312010" << literal(u"02/31/2010"_s) << 0 << it;
    QTest::newRow("month 13")              << "03012010" << "13012010" << literal(u"13/01/2010"_s) << 0 << it;
    QTest::newRow("zeros")                 << "00000000" << "03312010" << literal(u"00/00/0000"_s) << 0 << it;
    QTest::newRow("day and month swapped") << "31032010" << "03312010" << literal(u"31/03/2010"_s) << 0 << it;
    QTest::newRow("10,000 keys, cut to the mask") << QString(10000, u'1') << "03312010" << "" << 1 << it;
    QTest::newRow("one day")               << "03012010" << "03012010" << "" << 1 << it;
    QTest::newRow("range backwards")       << "03312010" << "03012010" << "" << 0 << it;
    QTest::newRow("German, period separator") << "03012010" << "03312010" << "" << 1 << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("German, half typed")    << "0301" << "03312010" << literal(u"03.01.    "_s) << 0 << QLocale(QLocale::German, QLocale::Germany);
    QTest::newRow("Arabic, direction marks beside the separator")
        << "03012010" << "03312010" << "" << 1 << QLocale(QLocale::Arabic, QLocale::Egypt);
    // clang-format on
}

// Keys typed into the two date fields (the mask takes digits only, ten positions at most), then
// "Visualizza Grafico".
void TstBadInput::chartDates()
{
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(QString, error);
    QFETCH(int, points);
    QFETCH(QLocale, locale);

    QLocale::setDefault(locale);
    Prepara();
    FAgenda->show();
    const QStringList anno = Voci(Cartella(u"2010"_s));
    QTest::keyClicks(Trova<TMaskEdit>(FAgenda, u"TDal"_s), dal);
    QTest::keyClicks(Trova<TMaskEdit>(FAgenda, u"TAl"_s), al);
    Trova<QPushButton>(FAgenda, u"BitBtn1"_s)->click();

    QCOMPARE(m_messages->Errors(), error.isEmpty() ? QStringList() : QStringList{error});
    QVERIFY(FAgenda->PGrafico->isVisible());
    for (int k = 0; k < TGraficoModel::NumeroSerie; ++k)
        QCOMPARE(int(FAgenda->PGrafico->Modello().Serie(k).Punti.size()), k == 0 ? points : 0);
    QCOMPARE(Voci(Cartella(u"2010"_s)), anno);
    VerificaIntatto();
}

void TstBadInput::chartTableSetting_data()
{
    QTest::addColumn<QString>("dbNortav");
    QTest::addColumn<QString>("error");
    // clang-format off
    QTest::newRow("empty")             << "" << "Invalid statement: expected table name near 'WHERE'";
    QTest::newRow("a double quote")    << "Nor\"tav.DB" << "Invalid statement: expected end of statement near '\"tav.DB WHERE DATA>=\"'";
    QTest::newRow("a blank")           << "Nortav .DB" << "Invalid statement: expected end of statement near '.DB'";
    QTest::newRow("parent folder")     << "../Nortav.DB" << "Invalid table name '../Nortav.DB'";
    QTest::newRow("absolute path")     << "/tmp/Nortav.DB" << "Invalid table name '/tmp/Nortav.DB'";
    QTest::newRow("backslash")         << "x\\Nortav.DB" << "Invalid table name 'x\\Nortav.DB'";
    QTest::newRow("a missing table")   << "Altro.DB" << "<error>";
    QTest::newRow("10,000 characters") << Lungo << "<error>";
    QTest::newRow("not a string")      << NonTesto << "Invalid data type for 'DBNortav'";
    // clang-format on
}

// The chart names its table by the DBNortav setting of the moment: whatever it holds, an error, no new
// file anywhere.
void TstBadInput::chartTableSetting()
{
    QFETCH(QString, dbNortav);
    QFETCH(QString, error);

    Prepara();
    FAgenda->show();
    const QStringList anno = Voci(Cartella(u"2010"_s));
    const QStringList radice = Voci(m_root);
    Imposta(u"DBNortav"_s, dbNortav);
    QTest::keyClicks(Trova<TMaskEdit>(FAgenda, u"TDal"_s), u"03012010"_s);
    QTest::keyClicks(Trova<TMaskEdit>(FAgenda, u"TAl"_s), u"03312010"_s);
    FAgenda->BitBtn1Click();

    QCOMPARE(Messaggi({error}), QStringList{error});
    QCOMPARE(m_messages->Errors().size(), 1);
    QCOMPARE(Voci(Cartella(u"2010"_s)), anno);
    QCOMPARE(Voci(m_root), radice);
    VerificaIntatto();
}

void TstBadInput::yearText_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("anno");  // the Anno setting afterwards

    const QString cambio = u"FCambioAnno"_s, crea = u"FCreaArchivio"_s, y2010 = u"2010"_s;
    const QStringList refused{NonValido};
    // clang-format off
    QTest::newRow("change: empty")          << cambio << "" << refused << y2010;
    QTest::newRow("change: blanks")         << cambio << "   " << refused << y2010;
    QTest::newRow("change: dot")            << cambio << "." << refused << y2010;
    QTest::newRow("change: ..")             << cambio << ".." << refused << y2010;
    QTest::newRow("change: ../..")          << cambio << "../.." << refused << y2010;
    QTest::newRow("change: separator")      << cambio << "/" << refused << y2010;
    QTest::newRow("change: year/")          << cambio << "2010/" << refused << y2010;
    QTest::newRow("change: backslash")      << cambio << "\\" << refused << y2010;
    QTest::newRow("change: 300 characters") << cambio << QString(300, u'9') << refused << y2010;
    QTest::newRow("change: 10,000 characters") << cambio << Lungo << refused << y2010;
    QTest::newRow("new: empty")             << crea << "" << refused << y2010;
    QTest::newRow("new: dot")               << crea << "." << refused << y2010;
    QTest::newRow("new: ..")                << crea << ".." << refused << y2010;
    QTest::newRow("new: ../..")             << crea << "../.." << refused << y2010;
    QTest::newRow("new: separator")         << crea << "/" << refused << y2010;
    QTest::newRow("new: year/")             << crea << "2010/" << refused << y2010;
    QTest::newRow("new: blanks, a folder in the root")
        << crea << "   " << QStringList{Assente, u"Archivio Nortav.DB Creato"_s} << "   ";
    QTest::newRow("new: backslash, a folder in the root")
        << crea << "\\" << QStringList{Assente, u"Archivio Nortav.DB Creato"_s} << "\\";
    // Texts the settings file would read as something else: a list, a comment, a special value.
    for (const QString& text : {u"2011, bis"_s, u"2011;bis"_s, u"#2011"_s, u"@ByteArray(2011)"_s, u"\"2011\""_s,
                                u" 2011 "_s, u"2011=bis"_s, u"[2011]"_s})
        QTest::addRow("new: %s, stored as typed", qPrintable(text))
            << crea << text << QStringList{Assente, u"Archivio Nortav.DB Creato"_s} << text;
    QTest::newRow("new: 10,000 characters") << crea << Lungo << QStringList{Assente, UnErrore} << y2010;
    // clang-format on
}

// A year text typed into either dialog and confirmed: refused, or a folder one level inside the data
// root; the dialog stays open unless the year was taken.
void TstBadInput::yearText()
{
    QFETCH(QString, dialog);
    QFETCH(QString, text);
    QFETCH(QStringList, messages);
    QFETCH(QString, anno);

    Prepara();
    auto* dialogo = dialog == u"FCambioAnno"_s ? static_cast<TDialogoAnno*>(FCambioAnno)
                                               : static_cast<TDialogoAnno*>(FCreaArchivio);
    dialogo->FormShow();
    dialogo->show();
    Trova<QLineEdit>(dialogo, u"Edit1"_s)->setText(text);
    Trova<QPushButton>(dialogo, u"BitBtn1"_s)->click();

    QCOMPARE(Messaggi(messages), messages);
    QCOMPARE(Leggi(u"Anno"_s), anno);
    QCOMPARE(dialogo->isVisible(), anno == u"2010"_s);
    QCOMPARE(FMain->Anno(), anno);
    VerificaIntatto();
}

void TstBadInput::dialogSettings_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("messages"); // after the dialog is shown and 2011 confirmed
    QTest::addColumn<QString>("anno");

    const QString creato = u"Archivio Nortav.DB Creato"_s;
    for (const QString& dialog : {u"FCambioAnno"_s, u"FCreaArchivio"_s}) {
        const auto row = [&](const char* name) -> QTestData& {
            return QTest::addRow("%s: %s", qPrintable(dialog), name) << dialog;
        };
        row("Anno not a string") << u"Anno"_s << NonTesto << QStringList{u"Invalid data type for 'Anno'"_s}
                                 << QString();
        row("PathDatiGen not a string") << u"PathDatiGen"_s << NonTesto
                                        << QStringList{u"Invalid data type for 'PathDatiGen'"_s} << u"2010"_s;
        row("AliasDB not a string") << u"AliasDB"_s << NonTesto
                                    << QStringList{u"Invalid data type for 'AliasDB'"_s} << u"2010"_s;
        row("DBNortav not a string") << u"DBNortav"_s << NonTesto
                                     << QStringList{u"Invalid data type for 'DBNortav'"_s} << u"2010"_s;
        row("DBNortav with a double quote")
            << u"DBNortav"_s << u"Nor\"tav.DB"_s << QStringList{Assente, UnErrore} << u"2010"_s;
        row("DBNortav in the parent folder")
            << u"DBNortav"_s << u"../Nortav.DB"_s
            << QStringList{Assente, u"Invalid table name '../Nortav.DB'"_s} << u"2010"_s;
        row("AliasDB empty") << u"AliasDB"_s << QString() << QStringList{Assente, creato} << u"2011"_s;
        row("AliasDB with quotes and blanks")
            << u"AliasDB"_s << u"\" a 'b\" "_s << QStringList{Assente, creato} << u"2011"_s;
    }
}

// A setting spoiled by hand while the program runs, then a dialog used to switch to the existing
// folder 2011: the error ends the command, Anno stays, nothing appears outside the data root.
void TstBadInput::dialogSettings()
{
    QFETCH(QString, dialog);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QStringList, messages);
    QFETCH(QString, anno);

    Prepara();
    QVERIFY(QDir().mkpath(Cartella(u"2011"_s)));
    Imposta(name, value);
    auto* dialogo = dialog == u"FCambioAnno"_s ? static_cast<TDialogoAnno*>(FCambioAnno)
                                               : static_cast<TDialogoAnno*>(FCreaArchivio);
    // A dialog that opened by mistake closes by itself instead of blocking the test.
    QTimer::singleShot(5000, dialogo, &QDialog::reject);
    QTimer::singleShot(0, dialogo, [&] {
        if (!dialogo->isVisible())
            return;
        Trova<QLineEdit>(dialogo, u"Edit1"_s)->setText(u"2011"_s);
        Trova<QPushButton>(dialogo, u"BitBtn1"_s)->click();
        if (dialogo->isVisible())
            dialogo->reject();
    });
    dialogo->ShowModal();
    QCoreApplication::processEvents();

    QCOMPARE(Messaggi(messages), messages);
    if (!anno.isEmpty())
        QCOMPARE(Leggi(u"Anno"_s), anno);
    QCOMPARE(FMain->Anno(), anno.isEmpty() ? u"2010"_s : anno);
    VerificaIntatto();
}

void TstBadInput::startupSettings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("anno"); // the working-year display; "2009" when the sequence stopped

    const QString stopped = u"2009"_s; // an error before the display of the year leaves the form's text
    // clang-format off
    QTest::newRow("AliasDB empty")          << "AliasDB" << "" << QStringList() << "2010";
    QTest::newRow("AliasDB quotes, blanks") << "AliasDB" << "\" a 'b\" " << QStringList() << "2010";
    QTest::newRow("AliasDB not a string")   << "AliasDB" << NonTesto
                                            << QStringList{u"Invalid data type for 'AliasDB'"_s} << stopped;
    QTest::newRow("DBNortav empty")         << "DBNortav" << ""
                                            << QStringList{AssenteAvvio, u"Invalid table name ''"_s} << stopped;
    QTest::newRow("DBNortav a double quote") << "DBNortav" << "Nor\"tav.DB"
                                             << QStringList{AssenteAvvio, UnErrore} << stopped;
    QTest::newRow("DBNortav trailing blanks, the table exists") << "DBNortav" << "Nortav.DB  "
                                              << QStringList{AssenteAvvio, UnErrore} << stopped;
    QTest::newRow("DBNortav a blank inside") << "DBNortav" << "Nortav .DB"
                                             << QStringList{AssenteAvvio, u"Archivio Nortav .DB Creato"_s} << "2010";
    QTest::newRow("DBNortav parent folder") << "DBNortav" << "../Nortav.DB"
                                            << QStringList{AssenteAvvio, u"Invalid table name '../Nortav.DB'"_s}
                                            << stopped;
    QTest::newRow("DBNortav backslash")     << "DBNortav" << "..\\Nortav.DB"
                                            << QStringList{AssenteAvvio, u"Invalid table name '..\\Nortav.DB'"_s}
                                            << stopped;
    QTest::newRow("DBNortav 10,000 characters") << "DBNortav" << Lungo
                                                << QStringList{AssenteAvvio, UnErrore} << stopped;
    QTest::newRow("AliasDB 10,000 characters") << "AliasDB" << Lungo << QStringList() << "2010";
    QTest::newRow("DBNortav not a string")  << "DBNortav" << NonTesto
                                            << QStringList{u"Invalid data type for 'DBNortav'"_s} << stopped;
    QTest::newRow("Anno empty")             << "Anno" << "" << QStringList{FuoriAnno} << stopped;
    QTest::newRow("Anno ..")                << "Anno" << ".." << QStringList{FuoriAnno} << stopped;
    QTest::newRow("Anno beside the root")   << "Anno" << "../fuori" << QStringList{FuoriAnno} << stopped;
    QTest::newRow("Anno 10,000 characters") << "Anno" << Lungo
                                            << QStringList{u"       ERRORE NELLA CREZIONE\r\rDEL PERCORSO DEI DATI DI LAVORO"_s}
                                            << "2009";
    QTest::newRow("Anno not a string")      << "Anno" << NonTesto
                                            << QStringList{u"Invalid data type for 'Anno'"_s} << "2009";
    // clang-format on
}

// A second start with one setting spoiled by hand: the program's message or an engine error, the day
// stored by the first start unchanged, nothing outside the data root.
void TstBadInput::startupSettings()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QStringList, messages);
    QFETCH(QString, anno);

    Prepara();
    m_program.reset();
    Imposta(name, value);
    Avvia();

    QCOMPARE(FuoriRadice(), m_fuori);
    QCOMPARE(Messaggi(messages), messages);
    if (!anno.isEmpty())
        QCOMPARE(FMain->Anno(), anno);
    QCOMPARE(Righe(), m_righe);
    if (messages.isEmpty()) { // the diary opens on the stored day
        FDB->T_Nortav->Open();
        QCOMPARE(FDB->T_Nortav->FieldByName(u"Val01"_s).Value(), QVariant(100.0));
    }
}

QTEST_MAIN(TstBadInput)
#include "tst_badinput.moc"
