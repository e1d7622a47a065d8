#include "diary/F_Agenda.h"

TFAgenda* FAgenda = nullptr;

TFAgenda::TFAgenda(QWidget* parent) : QMainWindow(parent) {}

void TFAgenda::ShowModal() {}
