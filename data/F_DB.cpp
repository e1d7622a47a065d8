#include "data/F_DB.h"

TFDB* FDB = nullptr;

const QString TablePassword = QStringLiteral("EE58BB31FF47");

TFDB::TFDB(QObject* parent) : QObject(parent)
{
    Session1 = new TSession(this);
    QGEN = new TQuery(Session1, this);
    DS_QGEN = new TDataSource(QGEN, this);
    T_Nortav = new TTable(Session1, this);
    DS_Nortav = new TDataSource(T_Nortav, this);
}
