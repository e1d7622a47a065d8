#include "diary/P_Grafico.h"

#include "app/Layout.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "data/Messages.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QRadialGradient>
#include <QValueAxis>

#include <QHash>

#include <algorithm>
#include <limits>

namespace
{

// Labels the bottom axis can hold: side by side, then turned upright, then one every few rows.
constexpr int EtichetteOrizzontali = 6;
constexpr int EtichetteMassime = 16;

// A lone point between gaps has no line to show it: it gets a marker of this size instead.
constexpr qreal MarcatorePuntoIsolato = 7;

// The category axis wants distinct labels: a same-date tie gets invisible zero-width spaces appended.
QString EtichettaDistinta(const QString& etichetta, QHash<QString, int>& usate)
{
    const int volte = usate[etichetta]++;
    return etichetta + QString(volte, QChar(0x200B));
}

} // namespace

TPGrafico::TPGrafico(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PGrafico"));
    setGeometry(8, 64, 561, 457);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true); // covers the record panel beneath it
    CreaControlli();
    CreaGrafico();
    hide();
    setEnabled(false);
}

void TPGrafico::CreaControlli()
{
    m_titolo = new QLabel(QStringLiteral("Andamento Glicemico"), this);
    m_titolo->setGeometry(8, 8, 537, 17);
    StyleStaticText(m_titolo);

    ClosePGrafico = new QPushButton(QStringLiteral("X"), this);
    ClosePGrafico->setObjectName(QStringLiteral("ClosePGrafico"));
    ClosePGrafico->setGeometry(536, 8, 19, 17);
    connect(ClosePGrafico, &QPushButton::clicked, this, [this] { Guard([this] { ClosePGraficoClick(); }); });
}

void TPGrafico::CreaGrafico()
{
    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setBackgroundRoundness(0);
    m_chart->layout()->setContentsMargins(0, 0, 0, 0); // the gradient fills the view up to its bevel
    m_chart->setDropShadowEnabled(false);
    m_chart->setPlotAreaBackgroundVisible(false);
    QRadialGradient sfondo(0.5, 0.5, 0.75);
    sfondo.setCoordinateMode(QGradient::ObjectBoundingMode);
    sfondo.setColorAt(0, Qt::white);
    sfondo.setColorAt(1, BgrColor(0xFF3737));
    m_chart->setBackgroundBrush(sfondo);

    QLegend* legenda = m_chart->legend();
    legenda->setAlignment(Qt::AlignBottom);
    legenda->setFont(PixelFont(QStringLiteral("Arial"), 13, true));
    legenda->setLabelColor(Qt::black);
    legenda->setBackgroundVisible(false);

    GRAFICO = new QChartView(m_chart, this);
    GRAFICO->setObjectName(QStringLiteral("GRAFICO"));
    GRAFICO->setGeometry(8, 32, 545, 417);
    GRAFICO->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    GRAFICO->setLineWidth(2);
    GRAFICO->setRenderHint(QPainter::Antialiasing);
}

// The axes cost more than the rest of the chart: they are made on the first drawing, as the panel stays
// hidden until then.
void TPGrafico::CreaAssi()
{
    m_asseY = new QValueAxis;
    m_asseY->setTitleText(QStringLiteral("Valore Glicemico"));
    m_asseY->setLabelFormat(QStringLiteral("%i"));
    m_chart->addAxis(m_asseY, Qt::AlignLeft);

    m_asseX = new QCategoryAxis;
    m_asseX->setTitleText(QStringLiteral("Giorno"));
    m_asseX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_asseX->setStartValue(-0.5);
    m_chart->addAxis(m_asseX, Qt::AlignBottom);
}

void TPGrafico::Visualizza(const QString& dal, const QString& al)
{
    show();
    raise();
    setEnabled(true);
    const QString tabella = FConf->LeggiReg(ChiaveReg, QStringLiteral("DBNortav"));
    try {
        CaricaGrafico(*FDB->QGEN, tabella, dal, al, m_modello);
    } catch (...) {
        Ridisegna();
        throw;
    }
    Ridisegna();
}

void TPGrafico::ClosePGraficoClick()
{
    hide();
    setEnabled(false);
}

void TPGrafico::Ridisegna()
{
    if (!m_asseX)
        CreaAssi();
    m_chart->removeAllSeries();
    AggiornaAsseX();
    AggiornaAsseY();
    for (int k = 0; k < TGraficoModel::NumeroSerie; ++k)
        AggiungiSerie(k);
}

void TPGrafico::AggiornaAsseX()
{
    for (const QString& etichetta : m_asseX->categoriesLabels())
        m_asseX->remove(etichetta);
    const QStringList& etichette = m_modello.Etichette();
    const int righe = int(etichette.size());
    m_asseX->setRange(-0.5, std::max(righe - 1, 0) + 0.5);
    m_asseX->setLabelsAngle(righe > EtichetteOrizzontali ? -90 : 0);
    const int passo = std::max(1, (righe + EtichetteMassime - 1) / EtichetteMassime);
    QHash<QString, int> usate;
    for (int x = 0; x < righe; x += passo)
        m_asseX->append(EtichettaDistinta(etichette.at(x), usate), x);
}

void TPGrafico::AggiornaAsseY()
{
    int minimo = std::numeric_limits<int>::max();
    int massimo = std::numeric_limits<int>::min();
    for (int k = 0; k < TGraficoModel::NumeroSerie; ++k) {
        for (const TPuntoGrafico& punto : m_modello.Serie(k).Punti) {
            minimo = std::min(minimo, punto.Valore);
            massimo = std::max(massimo, punto.Valore);
        }
    }
    if (minimo > massimo) {
        minimo = 0;
        massimo = 100;
    }
    m_asseY->setRange(qreal(minimo) - 10, qreal(massimo) + 10);
    m_asseY->applyNiceNumbers();
}

void TPGrafico::AggiungiSerie(int k)
{
    const TSerieGrafico& serie = m_modello.Serie(k);
    std::vector<std::span<const TPuntoGrafico>> tratti = m_modello.Tratti(k);
    if (tratti.empty())
        tratti.emplace_back(); // an empty series still has its legend entry
    bool primo = true;
    for (const std::span<const TPuntoGrafico> tratto : tratti) {
        auto* linea = new QLineSeries;
        linea->setName(serie.Titolo);
        const QColor colore = tratto.empty() ? serie.ColorePunti : tratto.front().Colore;
        linea->setPen(QPen(colore, 2));
        linea->setBrush(colore);
        if (tratto.size() == 1) {
            linea->setPointsVisible(true);
            linea->setMarkerSize(MarcatorePuntoIsolato);
        }
        QList<QPointF> punti;
        punti.reserve(qsizetype(tratto.size()));
        for (const TPuntoGrafico& punto : tratto)
            punti.append(QPointF(punto.X, punto.Valore));
        linea->replace(punti);
        if (primo)
            linea->setObjectName(QStringLiteral("Series%1").arg(k + 1));
        m_chart->addSeries(linea);
        linea->attachAxis(m_asseX);
        linea->attachAxis(m_asseY);
        for (QLegendMarker* marcatore : m_chart->legend()->markers(linea)) {
            marcatore->setBrush(serie.ColoreSerie);
            marcatore->setVisible(primo); // the pieces of a broken line share the first one's entry
        }
        primo = false;
    }
}
