#pragma once

// The steps that point the program at a year folder, shared by the start-up and the two year dialogs.
// Every setting is read afresh at each use.

#include <QString>

namespace Archivio
{

// One setting of the program's key, and its write.
QString Leggi(const QString& name);
void Scrivi(const QString& name, const QString& value);

// PathDatiGen + the year text + "/".
QString CartellaAnno(const QString& anno);

// True when the folder exists as a directory; an empty name is no folder.
bool EsisteCartella(const QString& cartella);

// Points the AliasDB alias of Session1 at the folder and makes the session active.
void PuntaAlias(const QString& cartella);

// When the folder holds no DBNortav file: shows the message, then creates the diary table. True when it did.
bool CreaTabellaAssente(const QString& cartella, const QString& messaggio);

// Binds QGEN and T_Nortav, closed, to the alias, and T_Nortav to the DBNortav file.
void Rilega();

} // namespace Archivio
