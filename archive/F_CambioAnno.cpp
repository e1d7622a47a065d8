#include "archive/F_CambioAnno.h"

#include "app/F_Main.h"
#include "app/Layout.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "data/Messages.h"
#include "settings/Registro.h"

#include "ui_F_CambioAnno.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

TFCambioAnno* FCambioAnno = nullptr;

namespace Archivio
{

QString Leggi(const QString& name)
{
    return FConf->LeggiReg(ChiaveReg, name);
}

QString CartellaAnno(const QString& anno)
{
    return Leggi(QStringLiteral("PathDatiGen")) + anno + QLatin1Char('/');
}

bool EsisteCartella(const QString& cartella)
{
    return !cartella.isEmpty() && QFileInfo(cartella).isDir();
}

void PuntaAlias(const QString& cartella)
{
    const QString alias = Leggi(QStringLiteral("AliasDB"));
    FDB->Session1->DeleteAlias(alias);
    FDB->Session1->AddStandardAlias(alias, cartella, QStringLiteral("PARADOX"));
    FDB->Session1->SetActive(true);
}

bool CreaTabellaAssente(const QString& cartella)
{
    if (QFileInfo(cartella + Leggi(QStringLiteral("DBNortav"))).isFile())
        return false;
    ShowMessage(QStringLiteral("Archivio Dati - Assente - Premere OK per Crearlo"));
    FConf->CreaTabella(Leggi(QStringLiteral("AliasDB")), Leggi(QStringLiteral("DBNortav")), SchemaDiario);
    return true;
}

void Rilega()
{
    FDB->QGEN->Close();
    FDB->QGEN->SetDatabaseName(Leggi(QStringLiteral("AliasDB")));
    FDB->T_Nortav->Close();
    FDB->T_Nortav->SetDatabaseName(Leggi(QStringLiteral("AliasDB")));
    FDB->T_Nortav->SetTableName(Leggi(QStringLiteral("DBNortav")));
}

void ScriviAnno(const QString& anno)
{
    ScriviReg(ChiaveReg, QStringLiteral("Anno"), anno);
}

void MostraAnno()
{
    FMain->MostraAnno(Leggi(QStringLiteral("Anno")));
}

} // namespace Archivio

TDialogoAnno::TDialogoAnno(QWidget* parent) : QDialog(parent) {}

void TDialogoAnno::Prepara(QSize outer, QLabel* caption, QLineEdit* edit1, QPushButton* bitBtn1,
                           QPushButton* bitBtn2)
{
    m_edit1 = edit1;
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    SetWindowMetrics(this, outer);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    StyleStaticText(caption);
    caption->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    edit1->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    connect(bitBtn1, &QPushButton::clicked, this, &TDialogoAnno::BitBtn1Click);
    connect(bitBtn2, &QPushButton::clicked, this, &TDialogoAnno::BitBtn2Click);
}

void TDialogoAnno::ShowModal()
{
    if (Guard([this] { FormShow(); }))
        exec();
}

void TDialogoAnno::FormShow()
{
    m_edit1->setText(Archivio::Leggi(QStringLiteral("Anno")));
}

void TDialogoAnno::BitBtn1Click()
{
    Guard([this] { Conferma(); });
}

void TDialogoAnno::BitBtn2Click()
{
    reject();
}

QString TDialogoAnno::Anno() const
{
    return m_edit1->text();
}

TFCambioAnno::TFCambioAnno(QWidget* parent) : TDialogoAnno(parent), ui(std::make_unique<Ui::TFCambioAnno>())
{
    ui->setupUi(this);
    Prepara(QSize(192, 129), ui->StaticText1, ui->Edit1, ui->BitBtn1, ui->BitBtn2);
}

TFCambioAnno::~TFCambioAnno() = default;

void TFCambioAnno::Conferma()
{
    const QString anno = Anno();
    const QString cartella = Archivio::CartellaAnno(anno);
    if (!Archivio::EsisteCartella(cartella)) {
        ShowMessage(QStringLiteral("ANNO DI LAVORO NON VALIDO"));
        return;
    }
    Archivio::PuntaAlias(cartella);
    Archivio::CreaTabellaAssente(cartella);
    Archivio::Rilega();
    Archivio::ScriviAnno(anno);
    Archivio::MostraAnno();
    accept();
}
