#include "data/F_Conf.h"

TFConf* FConf = nullptr;

const QString ChiaveReg = QStringLiteral("KORVANEX\\Sormelin\\");
const QString SchemaDiario;

TFConf::TFConf(QObject* parent) : QObject(parent) {}

QString TFConf::LeggiReg(const QString&, const QString&) const { return {}; }
void TFConf::CreaTabella(const QString&, const QString&, const QString&) {}
void TFConf::ProteggiTabella(const QString&, const QString&, const QString&) {}
