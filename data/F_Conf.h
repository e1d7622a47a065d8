#pragma once

// Host of the settings and table routines; created second at start and never shown.

#include <QObject>
#include <QString>

// "KORVANEX\Sormelin\": the key of every setting of the program.
extern const QString ChiaveReg;

// The diary table's column list, appended to "CREATE TABLE \"" + file name.
extern const QString SchemaDiario;

class TFConf : public QObject
{
    Q_OBJECT
public:
    explicit TFConf(QObject* parent = nullptr);

    // Reads one setting afresh; empty text when it is missing.
    QString LeggiReg(const QString& key, const QString& name) const;

    // Creates a table file with QGEN on the alias, then says "Archivio <name> Creato".
    void CreaTabella(const QString& alias, const QString& tableName, const QString& columns);

    // Puts the password on an existing table file of the folder.
    void ProteggiTabella(const QString& tablePath, const QString& password, const QString& folder);
};

extern TFConf* FConf;

// The number, 0 to 49, that names ProteggiTabella's private connection for a given seed.
int SuffissoConnessione(quint32 seed);
