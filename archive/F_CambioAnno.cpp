#include "archive/F_CambioAnno.h"

#include "app/F_Main.h"
#include "app/Layout.h"
#include "data/Archivio.h"
#include "data/Messages.h"

#include "ui_F_CambioAnno.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

TFCambioAnno* FCambioAnno = nullptr;

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

const QString TDialogoAnno::MessaggioTabellaAssente =
    QStringLiteral("Archivio Dati - Assente - Premere OK per Crearlo");

void TDialogoAnno::MostraAnno()
{
    FMain->MostraAnno(Archivio::Leggi(QStringLiteral("Anno")));
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
    if (!Archivio::AnnoValido(anno) || !Archivio::EsisteCartella(cartella)) {
        ShowMessage(QStringLiteral("ANNO DI LAVORO NON VALIDO"));
        return;
    }
    Archivio::PuntaAlias(cartella);
    Archivio::CreaTabellaAssente(cartella, MessaggioTabellaAssente);
    Archivio::Rilega();
    Archivio::Scrivi(QStringLiteral("Anno"), anno);
    MostraAnno();
    accept();
}
