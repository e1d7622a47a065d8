#include "archive/F_CreaArchivio.h"

TFCreaArchivio* FCreaArchivio = nullptr;

TFCreaArchivio::TFCreaArchivio(QWidget* parent) : QDialog(parent) {}

void TFCreaArchivio::ShowModal() {}
