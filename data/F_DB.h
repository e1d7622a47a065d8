#pragma once

// The data module: the one session, general query and diary table of the run; created third, never shown.

#include "data/Engine.h"

#include <QIcon>
#include <QList>
#include <QObject>

// The password of every diary table the program protects.
extern const QString TablePassword;

class TFDB : public QObject {
    Q_OBJECT
public:
    explicit TFDB(QObject* parent = nullptr); // Session1 is active once this returns

    TSession* Session1;
    TQuery* QGEN;
    TDataSource* DS_QGEN;
    TTable* T_Nortav;
    TDataSource* DS_Nortav;
    QList<QIcon> ImageList2BIG; // the ten 32 x 32 toolbar images, index 0 to 9
};

extern TFDB* FDB;
