#include "TestSupport.h"

#include "app/Layout.h"
#include "app/Program.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "diary/F_Agenda.h"
#include "diary/MaskEdit.h"
#include "diary/P_Grafico.h"
#include "settings/ZepDll.h"

#include <QCategoryAxis>
#include <QChartView>
#include <QDir>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>

#include <memory>
#include <optional>

namespace
{

const QString Alias = QStringLiteral("DNortav09");
const QString TableFile = QStringLiteral("Nortav.DB");

using TValori = QList<QVariant>; // Val01 to Val05 of one row; a null QVariant leaves the column empty

TValori Valori(double v1, double v2, double v3, double v4, double v5)
{
    return {v1, v2, v3, v4, v5};
}

// X, value and label of every point of one series.
struct TAtteso {
    int x;
    int valore;
    QString etichetta;
    bool operator==(const TAtteso&) const = default;
};

QList<TAtteso> Punti(const TSerieGrafico& serie)
{
    QList<TAtteso> punti;
    for (const TPuntoGrafico& p : serie.Punti)
        punti.append({p.X, p.Valore, p.Etichetta});
    return punti;
}

char* toString(const TAtteso& p)
{
    return QTest::toString(QStringLiteral("(%1, %2, %3)").arg(p.x).arg(p.valore).arg(p.etichetta));
}

} // namespace

class TstChart : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void statementFromTheDateFields_data();
    void statementFromTheDateFields();
    void rangeInDateOrder();
    void oneRowRange();
    void rounding_data();
    void rounding();
    void emptyValuesLeaveGaps();
    void drawingTwiceReplaces();
    void engineErrorReachesTheErrorHandler();
    void panelShownAndHidden();
    void rendersOffscreen();

private:
    QString Folder() const { return m_home->Path() + QStringLiteral("/2010/"); }
    void AddRow(QDate data, const TValori& valori);
    TPGrafico* Panel() const;
    // The chart pieces of series k (1 to 5), the first one named SeriesK.
    QList<QLineSeries*> Linee(int k) const;

    std::unique_ptr<TTempHome> m_home;
    std::optional<TMessageRecorder> m_messages;
    std::unique_ptr<TProgram> m_program;
};

void TstChart::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_home = std::make_unique<TTempHome>();
    m_messages.emplace();
    m_program = std::make_unique<TProgram>();
    QVERIFY(QDir().mkpath(Folder()));
    ScriviReg(ChiaveReg.toUtf8().constData(), "DBNortav", TableFile.toUtf8().constData());
    FDB->Session1->AddStandardAlias(Alias, Folder(), QStringLiteral("PARADOX"));
    FDB->Session1->AddPassword(TablePassword);
    FConf->CreaTabella(Alias, TableFile, SchemaDiario);
    FConf->ProteggiTabella(TableFile, TablePassword, Folder());
    FDB->T_Nortav->SetDatabaseName(Alias);
    FDB->T_Nortav->SetTableName(TableFile);
    FDB->T_Nortav->Open();
    m_messages->Clear();
}

void TstChart::cleanup()
{
    m_program.reset();
    m_messages.reset();
    m_home.reset();
    QLocale::setDefault(QLocale::system());
}

void TstChart::AddRow(QDate data, const TValori& valori)
{
    TTable& table = *FDB->T_Nortav;
    table.Append();
    if (data.isValid())
        table.FieldByName(QStringLiteral("Data")).SetValue(data);
    for (int k = 0; k < valori.size(); ++k)
        if (!valori.at(k).isNull())
            table.FieldByName(QStringLiteral("Val%1").arg(k + 1, 2, 10, QLatin1Char('0')))
                .SetValue(valori.at(k));
    table.Post();
}

TPGrafico* TstChart::Panel() const
{
    return FAgenda->findChild<TPGrafico*>(QStringLiteral("PGrafico"));
}

QList<QLineSeries*> TstChart::Linee(int k) const
{
    const QString titolo = Panel()->Modello().Serie(k - 1).Titolo;
    QList<QLineSeries*> linee;
    const auto* view = Panel()->findChild<QChartView*>(QStringLiteral("GRAFICO"));
    for (QAbstractSeries* serie : view->chart()->series())
        if (serie->name() == titolo)
            linee.append(static_cast<QLineSeries*>(serie));
    if (!linee.isEmpty() && linee.front()->objectName() != QStringLiteral("Series%1").arg(k))
        linee.clear();
    return linee;
}

void TstChart::statementFromTheDateFields_data()
{
    QTest::addColumn<QString>("dal");
    QTest::addColumn<QString>("al");
    QTest::addColumn<QString>("statement");
    QTest::addColumn<bool>("engineAccepts");
    QTest::newRow("typed") << QStringLiteral("01012024") << QStringLiteral("12312024")
                           << QStringLiteral("SELECT * FROM Nortav.DB WHERE DATA>=\"01/01/2024\" AND "
                                             "DATA<=\"12/31/2024\" ORDER BY DATA ASC")
                           << true;
    QTest::newRow("half typed") << QStringLiteral("1/5/2024") << QStringLiteral("12312024")
                                << QStringLiteral("SELECT * FROM Nortav.DB WHERE DATA>=\"1 /5 /2024\" AND "
                                                  "DATA<=\"12/31/2024\" ORDER BY DATA ASC")
                                << true;
    QTest::newRow("untouched") << QString() << QString()
                               << QStringLiteral("SELECT * FROM Nortav.DB WHERE DATA>=\"  /  /    \" AND "
                                                 "DATA<=\"  /  /    \" ORDER BY DATA ASC")
                               << false;
}

// What the user types into the diary window's date fields goes into the statement as the fields hand it over.
void TstChart::statementFromTheDateFields()
{
    QFETCH(QString, dal);
    QFETCH(QString, al);
    QFETCH(QString, statement);
    QFETCH(bool, engineAccepts);
    AddRow(QDate(2024, 1, 5), Valori(100, 110, 120, 130, 140));
    QTest::keyClicks(FAgenda->findChild<TMaskEdit*>(QStringLiteral("TDal")), dal);
    QTest::keyClicks(FAgenda->findChild<TMaskEdit*>(QStringLiteral("TAl")), al);
    FAgenda->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    QCOMPARE(FDB->QGEN->SQL(), statement);
    QVERIFY(Panel()->isVisibleTo(FAgenda));
    QCOMPARE(m_messages->Errors().isEmpty(), engineAccepts);
    QCOMPARE(Panel()->Modello().Serie(0).Punti.size(), size_t(engineAccepts ? 1 : 0));
}

void TstChart::rangeInDateOrder()
{
    AddRow(QDate(2024, 3, 2), Valori(130, 131, 132, 133, 134));
    AddRow(QDate(2023, 12, 31), Valori(1, 1, 1, 1, 1)); // before the range
    AddRow(QDate(2024, 1, 15), Valori(110, 111, 112, 113, 114));
    AddRow(QDate(2024, 3, 2), Valori(140, 141, 142, 143, 144)); // same day, stored later
    AddRow(QDate(2024, 4, 1), Valori(2, 2, 2, 2, 2));           // after the range
    AddRow(QDate(2024, 2, 1), Valori(120, 121, 122, 123, 124));
    Panel()->Visualizza(QStringLiteral("01/01/2024"), QStringLiteral("03/31/2024"));

    const TGraficoModel& modello = Panel()->Modello();
    const QStringList etichette{QStringLiteral("1/15/2024"), QStringLiteral("2/1/2024"),
                                QStringLiteral("3/2/2024"), QStringLiteral("3/2/2024")};
    QCOMPARE(modello.Etichette(), etichette);
    const QStringList titoli{QStringLiteral("Mattina"), QStringLiteral("Pranzo"), QStringLiteral("Merenda"),
                             QStringLiteral("Cena"), QStringLiteral("Notte")};
    const QList<quint32> coloriSerie{0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0x80FF00};
    const QList<quint32> coloriPunti{0x0000FF, 0x008000, 0x00FFFF, 0xFF0000, 0x00FF00};
    for (int k = 0; k < TGraficoModel::NumeroSerie; ++k) {
        const TSerieGrafico& serie = modello.Serie(k);
        QCOMPARE(serie.Titolo, titoli.at(k));
        QCOMPARE(serie.ColoreSerie, BgrColor(coloriSerie.at(k)));
        QList<TAtteso> attesi;
        for (int x = 0; x < 4; ++x)
            attesi.append({x, 110 + 10 * x + k, etichette.at(x)});
        QCOMPARE(Punti(serie), attesi);
        for (const TPuntoGrafico& p : serie.Punti)
            QCOMPARE(p.Colore, BgrColor(coloriPunti.at(k)));

        // The view: one unbroken line in the point colour, its legend entry in the series colour.
        const QList<QLineSeries*> linee = Linee(k + 1);
        QCOMPARE(linee.size(), 1);
        QCOMPARE(linee.front()->count(), 4);
        QCOMPARE(linee.front()->pen().color(), BgrColor(coloriPunti.at(k)));
        QVERIFY(!linee.front()->pointsVisible());
        const QList<QLegendMarker*> marcatori =
            Panel()->findChild<QChartView*>()->chart()->legend()->markers(linee.front());
        QCOMPARE(marcatori.size(), 1);
        QCOMPARE(marcatori.front()->brush().color(), BgrColor(coloriSerie.at(k)));
    }
    // The tie keeps its two labels on the axis.
    const auto assi = Panel()->findChild<QChartView*>()->chart()->axes(Qt::Horizontal);
    QCOMPARE(assi.size(), 1);
    QCOMPARE(static_cast<QCategoryAxis*>(assi.front())->count(), 4);
}

void TstChart::oneRowRange()
{
    AddRow(QDate(2024, 5, 1), Valori(90, 91, 92, 93, 94));
    AddRow(QDate(2024, 5, 2), Valori(95, 96, 97, 98, 99));
    Panel()->Visualizza(QStringLiteral("05/02/2024"), QStringLiteral("05/02/2024"));
    for (int k = 0; k < TGraficoModel::NumeroSerie; ++k) {
        QCOMPARE(Punti(Panel()->Modello().Serie(k)),
                 (QList<TAtteso>{{0, 95 + k, QStringLiteral("5/2/2024")}}));
        // A single point has no line to show it: it is drawn as a marker.
        QCOMPARE(Linee(k + 1).size(), 1);
        QVERIFY(Linee(k + 1).front()->pointsVisible());
    }
}

void TstChart::rounding_data()
{
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("drawn");
    QTest::addColumn<QString>("error");
    QTest::newRow("half down to even") << 98.5 << 98 << QString();
    QTest::newRow("half up to even") << 99.5 << 100 << QString();
    QTest::newRow("below half") << 120.49 << 120 << QString();
    QTest::newRow("above half") << 120.51 << 121 << QString();
    QTest::newRow("negative half") << -2.5 << -2 << QString();
    QTest::newRow("largest integer") << 2147483647.0 << 2147483647 << QString();
    QTest::newRow("beyond the integer range")
        << 2147483648.0 << 0
        << QStringLiteral("Overflow while converting variant of type (Double) into type (Integer)");
}

// Each value is drawn as a whole number; an overflow stops the drawing, keeping the points before it.
void TstChart::rounding()
{
    QFETCH(double, stored);
    QFETCH(int, drawn);
    QFETCH(QString, error);
    AddRow(QDate(2024, 6, 1), Valori(100, 100, 100, 100, 100));
    AddRow(QDate(2024, 6, 2), {200, stored, 300, QVariant(), 400});
    Guard([this] { Panel()->Visualizza(QStringLiteral("06/01/2024"), QStringLiteral("06/30/2024")); });
    const TGraficoModel& modello = Panel()->Modello();
    if (error.isEmpty()) {
        QVERIFY(m_messages->Entries().isEmpty());
        QCOMPARE(modello.Serie(1).Punti.back().Valore, drawn);
        QCOMPARE(modello.Serie(2).Punti.size(), size_t(2));
        return;
    }
    QCOMPARE(m_messages->Errors(), QStringList{error});
    QCOMPARE(modello.Serie(0).Punti.size(), size_t(2)); // Val01 of the row came before the overflow
    QCOMPARE(modello.Serie(1).Punti.size(), size_t(1));
    QCOMPARE(modello.Serie(2).Punti.size(), size_t(1));
    QCOMPARE(Linee(1).front()->count(), 2); // and is drawn
    QVERIFY(Panel()->isVisibleTo(FAgenda));
}

void TstChart::emptyValuesLeaveGaps()
{
    AddRow(QDate(2024, 7, 1), Valori(101, 102, 103, 104, 105));
    AddRow(QDate(2024, 7, 2), {111, QVariant(), 113, 114, QVariant()});
    AddRow(QDate(2024, 7, 3), Valori(121, 122, 123, 124, 125));
    AddRow(QDate(2024, 7, 4), {QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
    AddRow(QDate(2024, 7, 5), {QVariant(), 142, QVariant(), QVariant(), QVariant()});
    Panel()->Visualizza(QStringLiteral("07/01/2024"), QStringLiteral("07/31/2024"));
    QVERIFY(m_messages->Entries().isEmpty());

    const TGraficoModel& modello = Panel()->Modello();
    QCOMPARE(modello.Etichette().size(), 5);
    QCOMPARE(Punti(modello.Serie(0)), (QList<TAtteso>{{0, 101, QStringLiteral("7/1/2024")},
                                                      {1, 111, QStringLiteral("7/2/2024")},
                                                      {2, 121, QStringLiteral("7/3/2024")}}));
    QCOMPARE(Punti(modello.Serie(1)), (QList<TAtteso>{{0, 102, QStringLiteral("7/1/2024")},
                                                      {2, 122, QStringLiteral("7/3/2024")},
                                                      {4, 142, QStringLiteral("7/5/2024")}}));
    QCOMPARE(Punti(modello.Serie(4)).size(), 2);

    // Series 2 is three pieces (each a lone point) under one legend entry; series 1 one line.
    QCOMPARE(Linee(1).size(), 1);
    const QList<QLineSeries*> pranzo = Linee(2);
    QCOMPARE(pranzo.size(), 3);
    FAgenda->show(); // a legend marker counts as visible only on screen
    QLegend* legenda = Panel()->findChild<QChartView*>()->chart()->legend();
    int visibili = 0;
    for (QLegendMarker* marcatore : legenda->markers())
        visibili += marcatore->isVisible() ? 1 : 0;
    QCOMPARE(visibili, TGraficoModel::NumeroSerie);
    QCOMPARE(pranzo.at(1)->at(0), QPointF(2, 122));
}

void TstChart::drawingTwiceReplaces()
{
    AddRow(QDate(2024, 8, 1), Valori(101, 102, 103, 104, 105));
    AddRow(QDate(2024, 8, 2), Valori(111, 112, 113, 114, 115));
    AddRow(QDate(2024, 9, 1), Valori(121, 122, 123, 124, 125));
    Panel()->Visualizza(QStringLiteral("08/01/2024"), QStringLiteral("08/31/2024"));
    Panel()->Visualizza(QStringLiteral("08/01/2024"), QStringLiteral("08/31/2024"));
    QCOMPARE(Panel()->Modello().Serie(0).Punti.size(), size_t(2));
    QCOMPARE(Linee(1).front()->count(), 2);
    Panel()->Visualizza(QStringLiteral("09/01/2024"), QStringLiteral("09/30/2024"));
    QCOMPARE(Punti(Panel()->Modello().Serie(0)), (QList<TAtteso>{{0, 121, QStringLiteral("9/1/2024")}}));
    QCOMPARE(Panel()->Modello().Etichette(), QStringList{QStringLiteral("9/1/2024")});
    // An empty range empties the chart but keeps the five legend entries.
    Panel()->Visualizza(QStringLiteral("10/01/2024"), QStringLiteral("10/31/2024"));
    for (int k = 1; k <= TGraficoModel::NumeroSerie; ++k) {
        QCOMPARE(Linee(k).size(), 1);
        QCOMPARE(Linee(k).front()->count(), 0);
    }
}

// A date the engine cannot read is its error, shown by the default error handler; the open fails before
// the series are cleared, so the last drawing stays.
void TstChart::engineErrorReachesTheErrorHandler()
{
    AddRow(QDate(2024, 8, 1), Valori(101, 102, 103, 104, 105));
    Panel()->Visualizza(QStringLiteral("08/01/2024"), QStringLiteral("08/31/2024"));
    QTest::keyClicks(FAgenda->findChild<TMaskEdit*>(QStringLiteral("TDal")), QStringLiteral("13452024"));
    QTest::keyClicks(FAgenda->findChild<TMaskEdit*>(QStringLiteral("TAl")), QStringLiteral("12312024"));
    FAgenda->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    QCOMPARE(m_messages->Errors().size(), 1);
    QCOMPARE(m_messages->Entries().size(), 1);
    QVERIFY(m_messages->Errors().front().contains(QStringLiteral("13/45/2024")));
    QVERIFY(Panel()->isVisibleTo(FAgenda));
    QCOMPARE(Panel()->Modello().Serie(0).Punti.size(), size_t(1));
}

void TstChart::panelShownAndHidden()
{
    TPGrafico* panel = Panel();
    QVERIFY(panel);
    QCOMPARE(panel->geometry(), QRect(8, 64, 561, 457));
    QVERIFY(!panel->isVisibleTo(FAgenda));
    QVERIFY(!panel->isEnabled());
    QCOMPARE(panel->findChild<QChartView*>(QStringLiteral("GRAFICO"))->geometry(), QRect(8, 32, 545, 417));

    AddRow(QDate(2024, 8, 1), Valori(101, 102, 103, 104, 105));
    panel->Visualizza(QStringLiteral("08/01/2024"), QStringLiteral("08/31/2024"));
    QVERIFY(panel->isVisibleTo(FAgenda));
    QVERIFY(panel->isEnabled());

    auto* chiudi = panel->findChild<QPushButton*>(QStringLiteral("ClosePGrafico"));
    QCOMPARE(chiudi->text(), QStringLiteral("X"));
    chiudi->click();
    QVERIFY(!panel->isVisibleTo(FAgenda));
    QVERIFY(!panel->isEnabled());
    QCOMPARE(panel->Modello().Serie(0).Punti.size(), size_t(1)); // kept until the next draw
    QCOMPARE(Linee(1).front()->count(), 1);
}

// A month with a tie and gaps, rendered to a PNG beside the test for a look.
void TstChart::rendersOffscreen()
{
    const double mattina[] = {98, 140, 110, 125, 95, 160, 130, 120, 105, 99};
    for (int d = 0; d < 10; ++d) {
        TValori valori = Valori(mattina[d], 150 + 5 * d, 130 - 3 * d, 170 - (d % 3) * 20, 115 + (d % 4) * 10);
        if (d == 4)
            valori[2] = QVariant();
        if (d == 6 || d == 7)
            valori[4] = QVariant();
        AddRow(QDate(2024, 3, 1 + d - (d == 3 ? 1 : 0)), valori);
    }
    // Drawn twice on screen, as the user redraws: the second drawing replaces the first one's axis labels.
    FAgenda->show();
    TPGrafico* panel = Panel();
    panel->Visualizza(QStringLiteral("03/01/2024"), QStringLiteral("03/02/2024"));
    QCoreApplication::processEvents();
    panel->Visualizza(QStringLiteral("03/01/2024"), QStringLiteral("03/31/2024"));
    QTest::qWait(50); // lets the chart lay itself out
    const QImage image = panel->grab().toImage();
    QCOMPARE(image.size(), QSize(561, 457));
    const QString file =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tst_chart.png"));
    QVERIFY(image.save(file));
    // Where the chart is, the gradient shows: not one flat colour.
    const QImage chart = panel->findChild<QChartView*>()->grab().toImage();
    QVERIFY(chart.pixelColor(5, 5) != chart.pixelColor(chart.width() / 2, 5));
}

QTEST_MAIN(TstChart)
#include "tst_chart.moc"
