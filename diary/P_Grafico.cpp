#include "diary/P_Grafico.h"

TPGrafico::TPGrafico(QWidget* parent) : QFrame(parent) {}

void TPGrafico::Visualizza(const QString&, const QString&) {}

void TPGrafico::ClosePGraficoClick() {}
