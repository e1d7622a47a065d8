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
    // Shows Anno, read back from the settings, in the main window's working-year display.
    static void MostraAnno();
    // Said before a missing diary table is created.
    static const QString MessaggioTabellaAssente;

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
