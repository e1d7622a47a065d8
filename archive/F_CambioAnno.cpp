#include "archive/F_CambioAnno.h"

TFCambioAnno* FCambioAnno = nullptr;

TFCambioAnno::TFCambioAnno(QWidget* parent) : QDialog(parent) {}

void TFCambioAnno::ShowModal() {}
