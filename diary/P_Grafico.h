#pragma once

#include "diary/GraficoModel.h"

#include <QFrame>

class QCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QPushButton;
class QValueAxis;

// The chart panel of the diary window (PGrafico): caption, close button and the glucose trend chart.
// It places itself at its designed position in its parent, hidden and disabled.
class TPGrafico : public QFrame
{
    Q_OBJECT
public:
    explicit TPGrafico(QWidget* parent = nullptr);

    // Shows the panel and draws the rows of the current table file dated from `dal` to `al`, the two
    // texts as the date fields hand them over (month/day/year). Errors propagate to the caller's Guard,
    // after the points read before them are drawn.
    void Visualizza(const QString& dal, const QString& al);
    void ClosePGraficoClick();

    const TGraficoModel& Modello() const { return m_modello; }

private:
    void CreaControlli();
    void CreaGrafico();
    void CreaAssi();
    // Rebuilds the chart's series and axes from the model.
    void Ridisegna();
    void AggiornaAsseX();
    void AggiornaAsseY();
    void AggiungiSerie(int k);

    TGraficoModel m_modello;
    QLabel* m_titolo = nullptr;
    QPushButton* ClosePGrafico = nullptr;
    QChartView* GRAFICO = nullptr;
    QChart* m_chart = nullptr;
    QCategoryAxis* m_asseX = nullptr;
    QValueAxis* m_asseY = nullptr;
};
