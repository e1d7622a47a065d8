#include "app/F_Main.h"

#include "ui_F_Main.h"

TFMain* FMain = nullptr;

TFMain::TFMain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFMain>())
{
    ui->setupUi(this);
}

TFMain::~TFMain() = default;

void TFMain::MostraAnno(const QString&) {}
QString TFMain::Anno() const { return {}; }
void TFMain::FormShow() {}
void TFMain::Timer1Timer() {}
void TFMain::Agenda1Click() {}
void TFMain::Esci1Click() {}
void TFMain::CambioAnno1Click() {}
void TFMain::CreaNuovoArchivio1Click() {}
void TFMain::About1Click() {}
void TFMain::showEvent(QShowEvent* event) { QMainWindow::showEvent(event); }
