#pragma once

// The glucose trend chart's data apart from its drawing: the date label of every row of the range and
// five series of points, one per fixed moment of the day. The chart view is rebuilt from this model.

#include <QColor>
#include <QString>
#include <QStringList>

#include <array>
#include <span>
#include <vector>

class TQuery;

struct TPuntoGrafico {
    int X; // the row's position in the range, from 0
    int Valore;
    QString Etichetta; // the row's date text
    QColor Colore;
};

struct TSerieGrafico {
    QString Titolo;
    QColor ColoreSerie;               // shown in the legend
    QColor ColorePunti;               // given to each added point; the line is drawn in it
    QString Colonna;                  // the column plotted
    std::vector<TPuntoGrafico> Punti; // ascending X; a row without a value leaves its X out (a gap)
};

class TGraficoModel
{
public:
    static constexpr int NumeroSerie = 5;

    TGraficoModel();

    // k from 0 (Mattina, Val01) to 4 (Notte, Val05).
    const TSerieGrafico& Serie(int k) const { return m_serie.at(k); }
    // The date label of every row, indexed by X.
    const QStringList& Etichette() const { return m_etichette; }

    void Clear();
    // Starts the next row with its date label and returns its X.
    int AggiungiRiga(const QString& etichetta);
    // Adds to series k the point of the last row started.
    void AggiungiPunto(int k, int valore);

    // The line pieces of series k: runs of points on consecutive rows, split where a row has no value.
    std::vector<std::span<const TPuntoGrafico>> Tratti(int k) const;

private:
    std::array<TSerieGrafico, NumeroSerie> m_serie;
    QStringList m_etichette;
};

// The range statement over the table file, the two dates as the date fields hand them over.
QString TestoGrafico(const QString& tabella, const QString& dal, const QString& al);

// Runs the range statement on the query (left open) and refills the model with its rows. An empty value
// leaves a gap in its series; other conversion errors (null date, overflow) stop the walk and propagate,
// leaving the points added before them in the model.
void CaricaGrafico(TQuery& query, const QString& tabella, const QString& dal, const QString& al,
                   TGraficoModel& model);
