#include "archive/F_CreaArchivio.h"

#include "data/Archivio.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "data/Messages.h"

#include "ui_F_CreaArchivio.h"

#include <QDir>

TFCreaArchivio* FCreaArchivio = nullptr;

TFCreaArchivio::TFCreaArchivio(QWidget* parent)
    : TDialogoAnno(parent), ui(std::make_unique<Ui::TFCreaArchivio>())
{
    ui->setupUi(this);
    Prepara(QSize(242, 138), ui->StaticText1, ui->Edit1, ui->BitBtn1, ui->BitBtn2);
}

TFCreaArchivio::~TFCreaArchivio() = default;

void TFCreaArchivio::Conferma()
{
    const QString anno = Anno();
    if (!Archivio::AnnoValido(anno)) {
        ShowMessage(QStringLiteral("ANNO DI LAVORO NON VALIDO"));
        return;
    }
    const QString cartella = Archivio::CartellaAnno(anno);
    if (!Archivio::EsisteCartella(cartella))
        QDir().mkdir(cartella); // a failure shows as the engine's error when the table is created
    Archivio::PuntaAlias(cartella);
    const bool creata = Archivio::CreaTabellaAssente(cartella, MessaggioTabellaAssente);
    Archivio::Rilega();
    Archivio::Scrivi(QStringLiteral("Anno"), anno);
    if (creata)
        FConf->ProteggiTabella(Archivio::Leggi(QStringLiteral("DBNortav")), TablePassword, cartella);
    MostraAnno();
    accept();
}
