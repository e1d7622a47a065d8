#include "app/F_Main.h"
#include "app/Layout.h"
#include "app/Program.h"
#include "data/Errors.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "diary/DBControls.h"
#include "diary/F_Agenda.h"
#include "tests/TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

// The core library links SQLCipher; its header lives in a folder of its own.
#include <sqlcipher/sqlite3.h>

#include <memory>
#include <optional>

namespace
{

const QString Alias = QStringLiteral("AgendaProva");
const QString TableFile = QStringLiteral("Nortav.DB");
const QDate FirstDay(2024, 3, 1);

// A raw connection holding a write lock on a table file, as another program would.
class TTableLock
{
public:
    explicit TTableLock(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) ==
            SQLITE_OK)
            m_locked = sqlite3_exec(m_db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~TTableLock() { sqlite3_close_v2(m_db); } // closing rolls the transaction back and frees the lock
    TTableLock(const TTableLock&) = delete;
    TTableLock& operator=(const TTableLock&) = delete;
    bool Locked() const { return m_locked; }

private:
    sqlite3* m_db = nullptr;
    bool m_locked = false;
};

QString Two(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// The controls a mode enables or disables, in the order the window switches them.
const QStringList ModeControls = {
    QStringLiteral("Nuovo1"),     QStringLiteral("TBNuovo"),   QStringLiteral("Modifica1"),
    QStringLiteral("TBModifica"), QStringLiteral("Salva1"),    QStringLiteral("TBSalva"),
    QStringLiteral("Annulla1"),   QStringLiteral("TBAnnulla"), QStringLiteral("Cancella1"),
    QStringLiteral("TBCancella"), QStringLiteral("Stampa1"),   QStringLiteral("TBStampa"),
    QStringLiteral("Esci1"),      QStringLiteral("TBEsci"),    QStringLiteral("DBNavigator1"),
    QStringLiteral("PanelScheda")};
const QStringList EditingOn = {QStringLiteral("Salva1"), QStringLiteral("TBSalva"),
                               QStringLiteral("Annulla1"), QStringLiteral("TBAnnulla"),
                               QStringLiteral("PanelScheda")};

} // namespace

class TestAgenda : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstOpening();
    void tabOrderAndHighlight();
    void commandModes_data();
    void commandModes();
    void nuovoOnEmptyTable_data();
    void nuovoOnEmptyTable();
    void modificaOnEmptyTableStartsBlankRow();
    void closeBoxWhileEditingKeepsRowAndMode();
    void esciThenReopenAtFirstRow();
    void lockedPostKeepsRowAndEditingMode();
    void typedText_data();
    void typedText();
    void pendingTextNotHandedOver_data();
    void pendingTextNotHandedOver();
    void valueShownInLocale_data();
    void valueShownInLocale();
    void navigator_data();
    void navigator();

private:
    template <typename T> T* Find(const QString& name) const
    {
        T* object = FAgenda->findChild<T*>(name);
        if (!object)
            qFatal("no control %s", qPrintable(name));
        return object;
    }
    QString Folder() const { return m_home->Path() + QStringLiteral("/Dati/"); }
    void OpenTable();
    void AddRows(int count);
    int StoredRows() const;
    QString Mode() const;
    void ShowActive();
    QString Errors() const { return m_messages->Errors().join(QLatin1Char('|')); }
    void Type(QWidget* control, const QString& text);
    static QColor Background(QWidget* control) { return control->palette().color(QPalette::Base); }
    static QColor Standard() { return QApplication::style()->standardPalette().color(QPalette::Base); }

    std::unique_ptr<TTempHome> m_home;
    std::optional<TMessageRecorder> m_messages;
    std::unique_ptr<TProgram> m_program;
    QLocale m_savedLocale;
};

void TestAgenda::init()
{
    m_savedLocale = QLocale();
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    m_home = std::make_unique<TTempHome>();
    m_messages.emplace();
    m_program = std::make_unique<TProgram>();
    QVERIFY(QDir().mkpath(Folder()));
    FDB->Session1->AddStandardAlias(Alias, Folder(), QStringLiteral("PARADOX"));
    FDB->QGEN->SetDatabaseName(Alias);
    FDB->QGEN->SetSQL(QStringLiteral("CREATE TABLE \"") + TableFile + SchemaDiario);
    FDB->QGEN->ExecSQL();
    FDB->QGEN->Close();
    FDB->T_Nortav->SetDatabaseName(Alias);
    FDB->T_Nortav->SetTableName(TableFile);
}

void TestAgenda::cleanup()
{
    m_program.reset();
    m_messages.reset();
    m_home.reset();
    QLocale::setDefault(m_savedLocale);
}

void TestAgenda::OpenTable()
{
    FDB->T_Nortav->Open();
}

// Rows dated from FirstDay on, Val01 100, 101, ...; the table is left open at its first row.
void TestAgenda::AddRows(int count)
{
    TTable* table = FDB->T_Nortav;
    if (!table->Active())
        table->Open();
    for (int i = 0; i < count; ++i) {
        table->Append();
        table->FieldByName(QStringLiteral("Data")).SetValue(FirstDay.addDays(i));
        table->FieldByName(QStringLiteral("Val01")).SetValue(100.0 + i);
        table->Post();
    }
    table->First();
}

// The rows in the table file, read through a table of its own.
int TestAgenda::StoredRows() const
{
    TTable table(FDB->Session1);
    table.SetDatabaseName(Alias);
    table.SetTableName(TableFile);
    table.Open();
    int rows = 0;
    for (; !table.IsEmpty() && !table.Eof(); table.Next())
        ++rows;
    return rows;
}

// "editing", "browsing", or the list of enabled controls when it is neither.
QString TestAgenda::Mode() const
{
    QStringList enabled;
    for (const QString& name : ModeControls) {
        const QAction* action = name == QLatin1String("Stampa1") ? Find<QMenu>(name)->menuAction()
                                                                 : FAgenda->findChild<QAction*>(name);
        if (action ? action->isEnabled() : Find<QWidget>(name)->isEnabled())
            enabled << name;
    }
    if (enabled == EditingOn)
        return QStringLiteral("editing");
    QStringList browsing = ModeControls;
    for (const QString& name : EditingOn)
        browsing.removeOne(name);
    return enabled == browsing ? QStringLiteral("browsing") : enabled.join(QLatin1Char(' '));
}

void TestAgenda::ShowActive()
{
    FAgenda->show();
    QApplication::setActiveWindow(FAgenda);
    QVERIFY(QTest::qWaitForWindowActive(FAgenda));
}

// Replaces the control's text as typing would, leaving it modified even when the new text is empty.
void TestAgenda::Type(QWidget* control, const QString& text)
{
    control->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(control, Qt::Key_Backspace);
    QTest::keyClicks(control, text);
}

void TestAgenda::firstOpening()
{
    OpenTable();
    FAgenda->show();
    QCOMPARE(FAgenda->windowTitle(), QStringLiteral("Agenda Glicemica"));
    // The toolbar starts in browsing mode, the menu with every item enabled.
    QCOMPARE(Mode(),
             QStringLiteral("Nuovo1 TBNuovo Modifica1 TBModifica Salva1 Annulla1 Cancella1 TBCancella "
                            "Stampa1 TBStampa Esci1 TBEsci DBNavigator1"));
    QCOMPARE(Find<QToolButton>(QStringLiteral("TBStampa"))->menu()->actions().first()->text(),
             QStringLiteral("NON ATTIVA"));
    QCOMPARE(Find<QLabel>(QStringLiteral("Panel0"))->text(), QStringLiteral("Scheda Dati"));
}

void TestAgenda::tabOrderAndHighlight()
{
    OpenTable();
    ShowActive();
    FAgenda->Nuovo1Click();
    QStringList order;
    for (int n = 1; n <= 10; ++n)
        order << QStringLiteral("ORACont") + Two(n) << QStringLiteral("Val") + Two(n);
    order << QStringLiteral("Note") << QStringLiteral("Data");

    QWidget* previous = Find<QWidget>(order.first());
    previous->setFocus(Qt::TabFocusReason);
    QCOMPARE(Background(previous), BgrColor(SkyBlue));
    for (const QString& name : order.mid(1)) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* current = QApplication::focusWidget();
        QCOMPARE(current->objectName(), name);
        QCOMPARE(Background(current), BgrColor(SkyBlue));
        QCOMPARE(Background(previous), Standard());
        previous = current;
    }
    QCOMPARE(Errors(), QString());
}

void TestAgenda::commandModes_data()
{
    QTest::addColumn<int>("rows");        // rows in the table before
    QTest::addColumn<QString>("before");  // command run first ("" for the first opening)
    QTest::addColumn<QString>("control"); // menu item or toolbar button used
    QTest::addColumn<QString>("mode");
    QTest::addColumn<TDataSetState>("state");
    QTest::addColumn<int>("stored"); // rows in the file afterwards
    QTest::addColumn<QString>("error");

    const QString none;
    const auto editing = QStringLiteral("editing");
    const auto browsing = QStringLiteral("browsing");
    const auto notEditing = QStringLiteral("T_Nortav: Dataset not in edit or insert mode.");
    const auto empty = QStringLiteral("T_Nortav: Cannot perform this operation on an empty dataset.");
    const auto E = TDataSetState::Edit, I = TDataSetState::Insert, B = TDataSetState::Browse;
    // clang-format off
    QTest::newRow("Nuovo on rows")        << 2 << none << "Nuovo1"     << editing  << I << 2 << none;
    QTest::newRow("Modifica on rows")     << 2 << none << "TBModifica" << editing  << E << 2 << none;
    QTest::newRow("Salva browsing")       << 2 << none << "Salva1"     << browsing << B << 2 << notEditing;
    QTest::newRow("Annulla browsing")     << 2 << none << "Annulla1"   << browsing << B << 2 << none;
    QTest::newRow("Cancella on rows")     << 2 << none << "TBCancella" << browsing << B << 1 << none;
    QTest::newRow("Nuovo on empty")       << 0 << none << "TBNuovo"    << editing  << I << 0 << none;
    QTest::newRow("Modifica on empty")    << 0 << none << "Modifica1"  << editing  << I << 0 << none;
    QTest::newRow("Salva on empty")       << 0 << none << "Salva1"     << browsing << B << 0 << notEditing;
    QTest::newRow("Cancella on empty")    << 0 << none << "Cancella1"  << browsing << B << 0 << empty;
    QTest::newRow("Salva edited row")     << 2 << "Modifica1" << "Salva1"    << browsing << B << 2 << none;
    QTest::newRow("Annulla edited row")   << 2 << "Modifica1" << "TBAnnulla" << browsing << B << 2 << none;
    QTest::newRow("Salva new row")        << 2 << "Nuovo1"    << "TBSalva"   << browsing << B << 3 << none;
    QTest::newRow("Annulla new row")      << 2 << "Nuovo1"    << "Annulla1"  << browsing << B << 2 << none;
    QTest::newRow("Cancella after Salva") << 2 << "Salva1"    << "Cancella1" << browsing << B << 1 << none;
    // clang-format on
}

void TestAgenda::commandModes()
{
    QFETCH(int, rows);
    QFETCH(QString, before);
    QFETCH(QString, control);
    QFETCH(QString, mode);
    QFETCH(TDataSetState, state);
    QFETCH(int, stored);
    QFETCH(QString, error);

    AddRows(rows);
    FAgenda->show();
    const auto use = [this](const QString& name) {
        if (auto* item = FAgenda->findChild<QAction*>(name))
            item->trigger();
        else
            Find<QToolButton>(name)->click();
    };
    if (!before.isEmpty())
        use(before);
    m_messages->Clear();
    use(control);
    QCOMPARE(Errors(), error);
    QCOMPARE(Mode(), mode);
    QCOMPARE(FDB->T_Nortav->State(), state);
    QCOMPARE(StoredRows(), stored);
}

void TestAgenda::nuovoOnEmptyTable_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("Italian") << QLocale(QLocale::Italian, QLocale::Italy);
    QTest::newRow("English (US)") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("Finnish, period as time separator") << QLocale(QLocale::Finnish, QLocale::Finland);
}

void TestAgenda::nuovoOnEmptyTable()
{
    QFETCH(QLocale, locale);
    QLocale::setDefault(locale);
    OpenTable();
    FAgenda->show();
    FAgenda->Nuovo1Click();
    QCOMPARE(Errors(), QString());
    QCOMPARE(Mode(), QStringLiteral("editing"));
    TTable* table = FDB->T_Nortav;
    QCOMPARE(table->State(), TDataSetState::Insert);
    QCOMPARE(table->FieldByName(QStringLiteral("Data")).Value(), QVariant(QDate::currentDate()));
    const int hours[] = {7, 13, 16, 20, 23};
    for (int n = 1; n <= 10; ++n) {
        const QVariant time = table->FieldByName(QStringLiteral("ORACont") + Two(n)).Value();
        QCOMPARE(time, n <= 5 ? QVariant(QTime(hours[n - 1], 0)) : QVariant());
        QVERIFY(table->FieldByName(QStringLiteral("Val") + Two(n)).IsNull());
    }
    QVERIFY(table->FieldByName(QStringLiteral("Note")).IsNull());
    // The controls show the row.
    QCOMPARE(Find<QLineEdit>(QStringLiteral("ORACont02"))->text(),
             table->FieldByName(QStringLiteral("ORACont02")).DisplayText());
    QVERIFY(!Find<QLineEdit>(QStringLiteral("ORACont02"))->text().isEmpty());
    QVERIFY(Find<QLineEdit>(QStringLiteral("ORACont06"))->text().isEmpty());

    FAgenda->Annulla1Click();
    QCOMPARE(Mode(), QStringLiteral("browsing"));
    QVERIFY(table->IsEmpty());
    QCOMPARE(StoredRows(), 0);
    QVERIFY(Find<QLineEdit>(QStringLiteral("Data"))->text().isEmpty());
}

void TestAgenda::modificaOnEmptyTableStartsBlankRow()
{
    OpenTable();
    FAgenda->Modifica1Click();
    TTable* table = FDB->T_Nortav;
    QCOMPARE(table->State(), TDataSetState::Insert);
    for (const auto& field : table->Fields())
        QVERIFY2(field->IsNull() || field->DataType() == TFieldType::AutoInc, qPrintable(field->FieldName()));
    QCOMPARE(Mode(), QStringLiteral("editing"));
}

void TestAgenda::closeBoxWhileEditingKeepsRowAndMode()
{
    OpenTable();
    ShowActive();
    FAgenda->Nuovo1Click();
    auto* val01 = Find<QLineEdit>(QStringLiteral("Val01"));
    Type(val01, QStringLiteral("110"));
    QVERIFY(FAgenda->close());
    QVERIFY(FAgenda->isHidden());
    QCOMPARE(FDB->T_Nortav->State(), TDataSetState::Insert);

    // Reopened modally and closed again by its close box.
    QTimer::singleShot(0, FAgenda, [] { FAgenda->close(); });
    FAgenda->ShowModal();
    QVERIFY(FAgenda->isHidden());
    QCOMPARE(Mode(), QStringLiteral("editing"));
    QCOMPARE(val01->text(), QStringLiteral("110"));
    QVERIFY(!Find<QToolButton>(QStringLiteral("TBEsci"))->isEnabled());

    // The typed text still reaches the row when it is saved.
    FAgenda->Salva1Click();
    QCOMPARE(Errors(), QString());
    QCOMPARE(FDB->T_Nortav->FieldByName(QStringLiteral("Val01")).Value().toDouble(), 110.0);
    QCOMPARE(StoredRows(), 1);
}

// Both openings go through the main window's diary command, which opens the table before each show.
void TestAgenda::esciThenReopenAtFirstRow()
{
    AddRows(3);
    FDB->T_Nortav->Close();
    QTimer::singleShot(0, FAgenda, [] {
        FDB->T_Nortav->Last();
        FAgenda->Esci1Click();
    });
    FMain->Agenda1Click();
    QVERIFY(!FDB->T_Nortav->Active());
    QVERIFY(FAgenda->isHidden());
    QVERIFY(Find<QLineEdit>(QStringLiteral("Data"))->text().isEmpty());

    QTimer::singleShot(0, FAgenda, [] { FAgenda->close(); });
    FMain->Agenda1Click();
    QCOMPARE(Errors(), QString());
    QCOMPARE(FDB->T_Nortav->FieldByName(QStringLiteral("Data")).Value(), QVariant(FirstDay));
    QCOMPARE(Find<QLineEdit>(QStringLiteral("Data"))->text(),
             FDB->T_Nortav->FieldByName(QStringLiteral("Data")).DisplayText());
    QVERIFY(!Find<QToolButton>(QStringLiteral("First"))->isEnabled());
    QVERIFY(Find<QToolButton>(QStringLiteral("Next"))->isEnabled());
}

void TestAgenda::lockedPostKeepsRowAndEditingMode()
{
    AddRows(1);
    ShowActive();
    FAgenda->Nuovo1Click();
    Type(Find<QLineEdit>(QStringLiteral("Val01")), QStringLiteral("98,5"));
    {
        TTableLock lock(Folder() + TableFile);
        QVERIFY(lock.Locked());
        FAgenda->Salva1Click();
        QCOMPARE(m_messages->Errors().size(), 1);
        QCOMPARE(Mode(), QStringLiteral("editing"));
        QCOMPARE(FDB->T_Nortav->State(), TDataSetState::Insert);
        QCOMPARE(FDB->T_Nortav->FieldByName(QStringLiteral("Val01")).Value().toDouble(), 98.5);
    }
    QCOMPARE(StoredRows(), 1);
    m_messages->Clear();
    FAgenda->Salva1Click();
    QCOMPARE(Errors(), QString());
    QCOMPARE(Mode(), QStringLiteral("browsing"));
    QCOMPARE(StoredRows(), 2);
    FDB->T_Nortav->Last();
    QCOMPARE(FDB->T_Nortav->FieldByName(QStringLiteral("Val01")).Value().toDouble(), 98.5);
}

void TestAgenda::typedText_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");  // empty when the text is taken
    QTest::addColumn<QVariant>("value"); // the column afterwards

    const QVariant seven(QTime(7, 0));
    QTest::newRow("bad time") << "ORACont01"
                              << "25:61"
                              << "'25:61' is not a valid time." << seven;
    QTest::newRow("bad date") << "Data"
                              << "32/13/2024"
                              << "'32/13/2024' is not a valid date." << QVariant(QDate::currentDate());
    QTest::newRow("bad value") << "Val01"
                               << "12,5x"
                               << "'12,5x' is not a valid floating point value for field 'Val01'"
                               << QVariant();
    QTest::newRow("time") << "ORACont01"
                          << "08:30:00" << QString() << QVariant(QTime(8, 30));
    QTest::newRow("value") << "Val02"
                           << "104,25" << QString() << QVariant(104.25);
    QTest::newRow("empty text empties the column") << "ORACont01"
                                                   << "" << QString() << QVariant();
    QTest::newRow("notes") << "Note"
                           << "Pranzo fuori" << QString() << QVariant(QStringLiteral("Pranzo fuori"));
}

void TestAgenda::typedText()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(QString, error);
    QFETCH(QVariant, value);

    OpenTable();
    ShowActive();
    FAgenda->Nuovo1Click();
    auto* edit = Find<QWidget>(control);
    Type(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
    QCoreApplication::processEvents();

    QCOMPARE(Errors(), error);
    QCOMPARE(FDB->T_Nortav->FieldByName(control).Value(), value);
    if (error.isEmpty()) {
        QVERIFY(QApplication::focusWidget() != edit);
        QCOMPARE(Background(edit), Standard());
        return;
    }
    // Refused: the text stays, selected, with the focus and the highlight.
    auto* line = qobject_cast<QLineEdit*>(edit);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(line->text(), text);
    QCOMPARE(line->selectedText(), text);
    QCOMPARE(Background(edit), BgrColor(SkyBlue));
    // A save hands the same text over again and is refused before anything is stored.
    m_messages->Clear();
    FAgenda->Salva1Click();
    QCOMPARE(Errors(), error);
    QCOMPARE(Mode(), QStringLiteral("editing"));
    QCOMPARE(StoredRows(), 0);
}

void TestAgenda::pendingTextNotHandedOver_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("kept"); // the typed text is still there afterwards
    QTest::newRow("window deactivated") << "deactivate" << true;
    QTest::newRow("menu opened") << "menu" << true;
    QTest::newRow("Annulla drops it") << "Annulla1" << false;
}

// Focus taken by another window or a menu, or a cancel, never hands a typed text to the row.
void TestAgenda::pendingTextNotHandedOver()
{
    QFETCH(QString, action);
    QFETCH(bool, kept);

    OpenTable();
    ShowActive();
    FAgenda->Nuovo1Click();
    auto* edit = Find<QLineEdit>(QStringLiteral("ORACont01"));
    Type(edit, QStringLiteral("xx"));
    if (action == QLatin1String("deactivate")) {
        QApplication::setActiveWindow(nullptr);
        QCoreApplication::processEvents();
        ShowActive();
    } else if (action == QLatin1String("menu")) {
        auto* menu = Find<QMenu>(QStringLiteral("Agenda1"));
        menu->popup(FAgenda->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->close();
    } else {
        FAgenda->findChild<QAction*>(action)->trigger();
    }
    QCoreApplication::processEvents();

    QCOMPARE(Errors(), QString());
    QCOMPARE(edit->text() == QLatin1String("xx"), kept);
    QCOMPARE(Background(edit), kept ? BgrColor(SkyBlue) : Standard());
    QCOMPARE(FDB->T_Nortav->State(), kept ? TDataSetState::Insert : TDataSetState::Browse);
    if (kept)
        QCOMPARE(FDB->T_Nortav->FieldByName(QStringLiteral("ORACont01")).Value(), QVariant(QTime(7, 0)));
}

void TestAgenda::valueShownInLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("stored");
    QTest::addColumn<QString>("shown");
    const QLocale italian(QLocale::Italian, QLocale::Italy);
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("Italian decimal") << italian << "98,5" << 98.5 << "98,5";
    QTest::newRow("Italian whole") << italian << "110" << 110.0 << "110";
    QTest::newRow("Italian 15 digits")
        << italian << "123,456789012345" << 123.456789012345 << "123,456789012345";
    QTest::newRow("English decimal") << english << "98.5" << 98.5 << "98.5";
}

void TestAgenda::valueShownInLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, typed);
    QFETCH(double, stored);
    QFETCH(QString, shown);
    QLocale::setDefault(locale);

    OpenTable();
    ShowActive();
    FAgenda->Nuovo1Click();
    auto* val01 = Find<QLineEdit>(QStringLiteral("Val01"));
    Type(val01, typed);
    FAgenda->Salva1Click();
    QCOMPARE(Errors(), QString());
    FDB->T_Nortav->Close();
    FDB->T_Nortav->Open();
    QCOMPARE(FDB->T_Nortav->FieldByName(QStringLiteral("Val01")).Value().toDouble(), stored);
    QCOMPARE(val01->text(), shown);
}

void TestAgenda::navigator_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("move"); // navigator button pressed, or "close"
    QTest::addColumn<QString>("enabled");
    QTest::newRow("first of three") << 3 << ""
                                    << "Next Last";
    QTest::newRow("middle") << 3 << "Next"
                            << "First Prior Next Last";
    QTest::newRow("last") << 3 << "Last"
                          << "First Prior";
    QTest::newRow("back to first") << 3 << "First"
                                   << "Next Last";
    QTest::newRow("one row") << 1 << ""
                             << "";
    QTest::newRow("empty") << 0 << ""
                           << "";
    QTest::newRow("closed") << 3 << "close"
                            << "";
}

void TestAgenda::navigator()
{
    QFETCH(int, rows);
    QFETCH(QString, move);
    QFETCH(QString, enabled);

    AddRows(rows);
    if (move == QLatin1String("First"))
        FDB->T_Nortav->Last();
    if (move == QLatin1String("close"))
        FDB->T_Nortav->Close();
    else if (!move.isEmpty())
        Find<QToolButton>(move)->click();
    QStringList on;
    for (const char* name : {"First", "Prior", "Next", "Last"})
        if (Find<QToolButton>(QLatin1String(name))->isEnabled())
            on << QLatin1String(name);
    QCOMPARE(on.join(QLatin1Char(' ')), enabled);
    if (move == QLatin1String("Next"))
        QCOMPARE(Find<QLineEdit>(QStringLiteral("Val01"))->text(), QStringLiteral("101"));
}

QTEST_MAIN(TestAgenda)
#include "tst_agenda.moc"
