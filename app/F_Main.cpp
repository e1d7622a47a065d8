#include "app/F_Main.h"

#include "app/F_About.h"
#include "app/Layout.h"
#include "archive/F_CambioAnno.h"
#include "archive/F_CreaArchivio.h"
#include "data/Archivio.h"
#include "data/Convert.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "data/Messages.h"
#include "diary/F_Agenda.h"

#include "ui_F_Main.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

TFMain* FMain = nullptr;

namespace
{

using Archivio::EsisteCartella;
using Archivio::Leggi;
using Archivio::Scrivi;

void SetTextColor(QWidget* widget, quint32 bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, BgrColor(bgr));
    widget->setPalette(palette);
}

void SetBackground(QWidget* widget, quint32 bgr)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, BgrColor(bgr));
    widget->setPalette(palette);
}

constexpr quint32 White = 0xFFFFFF;
constexpr quint32 Red = 0x0000FF;
constexpr quint32 Blue = 0xFF0000;
constexpr quint32 LightBlue = 0xF8D3BA;

} // namespace

TFMain::TFMain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFMain>())
{
    ui->setupUi(this);
    CreaAspetto();
    CreaStatusBar();
    CreaComandi();
}

TFMain::~TFMain() = default;

void TFMain::CreaAspetto()
{
    SetWindowMetrics(this, QSize(750, 665));
    SetBackground(ui->centralwidget, White);

    ui->CoolBar1->setGeometry(0, 0, width(), 65);
    SetBackground(ui->CoolBar1, LightBlue);
    ui->ToolBar1->setStyleSheet(QStringLiteral("QToolBar { background: transparent; border: none; }"));
    ui->ToolBar1->layout()->setContentsMargins(0, 0, 0, 0);
    ui->ToolBar1->layout()->setSpacing(0);
    ui->ToolBar1->addWidget(ui->ToolButton2);
    ui->ToolBar1->addWidget(ui->ToolButton4);
    ui->ToolBar1->addWidget(ui->ToolButton5);

    ui->Image1->setPixmap(QPixmap(QStringLiteral(":/images/logo.svg")));
    ui->Label2->setFont(PixelFont(QStringLiteral("Palatino Linotype"), 13, false, true));
    SetTextColor(ui->Label2, Red);
    ui->StaticText1->setFont(PixelFont(QStringLiteral("Arial"), 19, true));
    SetTextColor(ui->StaticText1, Blue);

    // Centred on the desktop by its designed outer size.
    QRect frame(QPoint(), QSize(750, 665));
    frame.moveCenter(screen()->virtualGeometry().center());
    move(frame.topLeft());
}

void TFMain::CreaStatusBar()
{
    struct TPanel {
        int width;
        Qt::Alignment alignment;
        QFrame::Shadow bevel;
    };
    // The last panel takes what is left of the bar's width.
    const TPanel panels[] = {{80, Qt::AlignCenter, QFrame::Raised},
                             {600, Qt::AlignLeft | Qt::AlignVCenter, QFrame::Sunken},
                             {50, Qt::AlignCenter, QFrame::Sunken}};
    ui->StatusBar1->setFixedHeight(39);
    for (const TPanel& p : panels) {
        auto* panel = new QLabel(ui->StatusBar1);
        panel->setObjectName(QStringLiteral("Panel%1").arg(m_panels.size()));
        panel->setFrameStyle(QFrame::Panel | p.bevel);
        panel->setAlignment(p.alignment);
        panel->setMinimumWidth(p.width);
        if (m_panels.size() < 2)
            panel->setFixedWidth(p.width);
        ui->StatusBar1->addWidget(panel, m_panels.size() < 2 ? 0 : 1);
        m_panels.append(panel);
    }
    m_panels[0]->setLayoutDirection(Qt::RightToLeft);
}

void TFMain::CreaComandi()
{
    const auto handle = [this](void (TFMain::*handler)()) {
        return [this, handler] { Guard([&] { (this->*handler)(); }); };
    };
    connect(ui->Agenda1, &QAction::triggered, this, handle(&TFMain::Agenda1Click));
    connect(ui->ToolButton2, &QToolButton::clicked, this, handle(&TFMain::Agenda1Click));
    connect(ui->Esci1, &QAction::triggered, this, handle(&TFMain::Esci1Click));
    connect(ui->ToolButton5, &QToolButton::clicked, this, handle(&TFMain::Esci1Click));
    connect(ui->CambioAnno1, &QAction::triggered, this, handle(&TFMain::CambioAnno1Click));
    connect(ui->CreaNuovoArchivio1, &QAction::triggered, this, handle(&TFMain::CreaNuovoArchivio1Click));
    connect(ui->About1, &QAction::triggered, this, handle(&TFMain::About1Click));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, handle(&TFMain::Timer1Timer));
    Timer1->start();
}

// The image list belongs to the data module, which exists only after this window.
void TFMain::ImpostaIcone()
{
    ui->ToolButton2->setIcon(FDB->ImageList2BIG.value(3));
    ui->ToolButton5->setIcon(FDB->ImageList2BIG.value(0));
}

void TFMain::MostraAnno(const QString& anno)
{
    ui->StaticText1->setText(anno);
}

QString TFMain::Anno() const
{
    return ui->StaticText1->text();
}

void TFMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    Guard([this] {
        ImpostaIcone();
        FormShow();
    });
}

void TFMain::FormShow()
{
    CaricaConfigurazioneBase();
    QString cartellaAnno;
    if (ControllaPercorsi(cartellaAnno))
        ApriArchivio(cartellaAnno);
}

// The first run's settings. The diary lives in the user's data folder, not beside the program, whose
// folder may be read-only or wiped by the next build.
void TFMain::CaricaConfigurazioneBase()
{
    if (Leggi(QStringLiteral("Conf")) == QLatin1String("OK"))
        return;
    ShowMessage(QStringLiteral("CONFIGURAZIONE ASSENTE"));
    const QString pathPrg = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString pathDati =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1Char('/');
    QDir().mkpath(pathDati);
    Scrivi(QStringLiteral("Conf"), QStringLiteral("OK"));
    Scrivi(QStringLiteral("PathPrg"), pathPrg);
    Scrivi(QStringLiteral("PathTemp"), pathPrg);
    Scrivi(QStringLiteral("PathDatiGen"), pathDati);
    Scrivi(QStringLiteral("AliasDB"), QStringLiteral("DNortav09"));
    Scrivi(QStringLiteral("Anno"), QStringLiteral("2010"));
    Scrivi(QStringLiteral("DBNortav"), QStringLiteral("Nortav.DB"));
    ShowMessage(QStringLiteral("E STATA CARICATA LA CONFIGURAZIONE DI BASE"));
}

// The program and data folders, then the year folder, created one level deep when missing.
bool TFMain::ControllaPercorsi(QString& cartellaAnno)
{
    if (!EsisteCartella(Leggi(QStringLiteral("PathPrg")))) {
        ShowMessage(QStringLiteral(" ERRORE NEI PERCORSO DEL PROGRAMMA \r\r     CHIUDERE E RIAVVIARE"));
        return false;
    }
    if (!EsisteCartella(Leggi(QStringLiteral("PathDatiGen")))) {
        ShowMessage(
            QStringLiteral("    ERRORE NEI PERCORSO DEI DATI \r\r CHIUDERE E RIAVVIARE IL PROGRAMMA"));
        return false;
    }
    // A year that is no folder level of its own inside the data root is refused before anything is made.
    const QString anno = Leggi(QStringLiteral("Anno"));
    cartellaAnno = Archivio::CartellaAnno(anno);
    if (Archivio::AnnoValido(anno) && !EsisteCartella(cartellaAnno) && !QDir().mkdir(cartellaAnno)) {
        ShowMessage(QStringLiteral("       ERRORE NELLA CREZIONE\r\rDEL PERCORSO DEI DATI DI LAVORO"));
        return false;
    }
    if (!Archivio::AnnoValido(anno) || !EsisteCartella(cartellaAnno)) {
        ShowMessage(QStringLiteral("  ERRORE NEI PERCORSO DEI DATI DI LAVORO"));
        return false;
    }
    return true;
}

// Points the alias at the year folder, creates a missing table, binds the data module to it and
// protects a table created now. An engine error ends the sequence through the caller's guard.
void TFMain::ApriArchivio(const QString& cartellaAnno)
{
    TSession* session = FDB->Session1;
    session->SetActive(false);
    session->SetNetFileDir(Leggi(QStringLiteral("PathTemp")));
    session->SetPrivateDir(Leggi(QStringLiteral("PathPrg")));
    Archivio::PuntaAlias(cartellaAnno);
    session->AddPassword(TablePassword);

    const bool creata = Archivio::CreaTabellaAssente(
        cartellaAnno, QStringLiteral("Archivio Dati- Assente - Premere OK per Crearlo"));
    Archivio::Rilega();

    MostraAnno(Leggi(QStringLiteral("Anno")));

    if (creata)
        FConf->ProteggiTabella(Leggi(QStringLiteral("DBNortav")), TablePassword, cartellaAnno);
}

void TFMain::Timer1Timer()
{
    m_panels[0]->setText(TimeText(QTime::currentTime()));
}

void TFMain::Agenda1Click()
{
    FDB->T_Nortav->Open();
    FAgenda->ShowModal();
}

void TFMain::Esci1Click()
{
    close();
}

void TFMain::CambioAnno1Click()
{
    FCambioAnno->ShowModal();
}

void TFMain::CreaNuovoArchivio1Click()
{
    FCreaArchivio->ShowModal();
}

void TFMain::About1Click()
{
    FF_About->ShowModal();
}
