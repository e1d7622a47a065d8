#pragma once

// The working-year dialog, and what it shares with the new-archive dialog.

#include <QDialog>
#include <QSize>
#include <QString>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui
{
class TFCambioAnno;
}

// The steps both dialogs take to switch the program to a year; each dialog runs them in its own order.
// Every setting is read afresh.
namespace Archivio
{

// One setting of the program's key.
QString Leggi(const QString& name);
// PathDatiGen + the year text + "/".
QString CartellaAnno(const QString& anno);
// True when the folder exists as a directory; an empty name does not exist.
bool EsisteCartella(const QString& cartella);
// Points the AliasDB alias of Session1 at the folder and makes the session active.
void PuntaAlias(const QString& cartella);
// When the folder holds no DBNortav file: says so, then creates the diary table. True when it did.
bool CreaTabellaAssente(const QString& cartella);
// Binds QGEN and T_Nortav, closed, to the alias and T_Nortav to the DBNortav file.
void Rilega();
// Stores the year as Anno.
void ScriviAnno(const QString& anno);
// Shows Anno, read back from the settings, in the main window's working-year display.
void MostraAnno();

} // namespace Archivio

// A year dialog: the "Anno di Lavoro" caption, the year field Edit1, BitBtn1 "&Conferma", BitBtn2 "&Annulla".
class TDialogoAnno : public QDialog
{
    Q_OBJECT
public:
    void ShowModal();    // FormShow, then modal until closed
    void FormShow();     // Edit1 = Anno
    void BitBtn1Click(); // Conferma; an error ends it and leaves the dialog open
    void BitBtn2Click(); // closes; nothing changes

protected:
    explicit TDialogoAnno(QWidget* parent);
    // Frame, outer size, colour and fonts of the dialog, and the two buttons' handlers.
    void Prepara(QSize outer, QLabel* caption, QLineEdit* edit1, QPushButton* bitBtn1, QPushButton* bitBtn2);
    QString Anno() const; // the text of Edit1
    virtual void Conferma() = 0;

private:
    QLineEdit* m_edit1 = nullptr;
};

class TFCambioAnno : public TDialogoAnno
{
    Q_OBJECT
public:
    explicit TFCambioAnno(QWidget* parent = nullptr);
    ~TFCambioAnno() override;

private:
    // Switches to the year typed when its folder exists, creating a missing table there.
    void Conferma() override;

    std::unique_ptr<Ui::TFCambioAnno> ui;
};

extern TFCambioAnno* FCambioAnno;
