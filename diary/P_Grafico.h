#pragma once

#include <QFrame>

// The chart panel of the diary window (PGrafico): caption, close button and the glucose trend chart.
// It places itself at its designed position in its parent, hidden and disabled.
class TPGrafico : public QFrame {
    Q_OBJECT
public:
    explicit TPGrafico(QWidget* parent = nullptr);

    // Shows the panel and draws the rows of the current table file dated from `dal` to `al`, the two
    // texts as the date fields hand them over (month/day/year).
    void Visualizza(const QString& dal, const QString& al);
    void ClosePGraficoClick();
};
