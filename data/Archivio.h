#pragma once

// The steps that point the program at a year folder, shared by the start-up and the two year dialogs.
// Every setting is read afresh at each use.

#include <QString>

namespace Archivio
{

// One setting of the program's key, and its write.
QString Leggi(const QString& name);
void Scrivi(const QString& name, const QString& value);

// True when the year text names one folder level inside the data root: not the root itself (empty, "."),
// not its parent (".."), not a deeper path. Anything else would put a diary table outside its place.
bool AnnoValido(const QString& anno);

// PathDatiGen + the year text + "/".
QString CartellaAnno(const QString& anno);

// True when the folder exists as a directory; an empty name is no folder.
bool EsisteCartella(const QString& cartella);

// Points the AliasDB alias of Session1 at the folder and makes the session active.
void PuntaAlias(const QString& cartella);

// Removes what a program that died while writing the DBNortav file left beside it; then, when the folder
// holds no such file, shows the message and creates the diary table. True when it did.
bool CreaTabellaAssente(const QString& cartella, const QString& messaggio);

// Binds QGEN and T_Nortav, closed, to the alias, and T_Nortav to the DBNortav file.
void Rilega();

} // namespace Archivio
