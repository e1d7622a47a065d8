#include "diary/F_Agenda.h"

#include "ui_F_Agenda.h"

#include "app/Layout.h"
#include "data/Engine.h"
#include "data/F_DB.h"
#include "data/Messages.h"
#include "diary/DBControls.h"
#include "diary/MaskEdit.h"
#include "diary/P_Grafico.h"

#include <QEventLoop>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStyle>

#include <tuple>

TFAgenda* FAgenda = nullptr;

namespace
{

constexpr QSize OuterSize(585, 612);
constexpr quint32 WindowColour = 0xFCAD6D;

// Status bar panels: width, text and raised edge; they run past the window's edge and are clipped.
struct TStatusPanel {
    int width;
    const char* text;
    bool raised;
};
constexpr TStatusPanel StatusPanels[] = {{120, "Scheda Dati", true}, {800, "", false}, {100, "", false}};
constexpr int StatusBarHeight = 28;

// The check times "&Nuovo" fills in, as hours of checks 01 to 05.
constexpr int DefaultHours[] = {7, 13, 16, 20, 23};

void SetBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A disabled record panel still shows its record as an enabled one would: browsing must stay readable.
void KeepEnabledLook(QWidget* widget)
{
    QPalette palette = widget->palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        palette.setColor(QPalette::Disabled, r, palette.color(QPalette::Active, r));
    }
    widget->setPalette(palette);
}

} // namespace

TFAgenda::TFAgenda(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFAgenda>())
{
    CreateLayout();
    BindControls();
    ConnectHandlers();
}

TFAgenda::~TFAgenda() = default;

void TFAgenda::CreateLayout()
{
    ui->setupUi(this);
    SetWindowMetrics(this, OuterSize);
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_QuitOnClose, false);
    if (const QScreen* desktop = screen()) {
        QRect frame(QPoint(), OuterSize);
        frame.moveCenter(desktop->availableGeometry().center());
        move(frame.topLeft());
    }
    ColourControls();
    CreateToolBar();
    CreateStatusBar();
    for (TMaskEdit* edit : {ui->TDal, ui->TAl}) {
        edit->SetEditMask(QStringLiteral("!99/99/0000;1;_"));
        edit->setMaxLength(10);
    }
    // The chart panel covers the record panel and the chart controls while it is shown.
    PGrafico = new TPGrafico(ui->centralwidget);
    PGrafico->raise();
}

void TFAgenda::ColourControls()
{
    ui->centralwidget->setAutoFillBackground(true);
    SetBackground(ui->centralwidget, QPalette::Window, BgrColor(WindowColour));
    ui->CoolBar1->setAutoFillBackground(true);
    SetBackground(ui->CoolBar1, QPalette::Window, style()->standardPalette().color(QPalette::Button));
    for (QLabel* label : ui->centralwidget->findChildren<QLabel*>())
        StyleStaticText(label);
    ui->StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    KeepEnabledLook(ui->PanelScheda);
}

void TFAgenda::CreateToolBar()
{
    const std::pair<QToolButton*, int> images[] = {
        {ui->TBNuovo, 5},   {ui->TBModifica, 6}, {ui->TBSalva, 4}, {ui->TBCancella, 7},
        {ui->TBAnnulla, 9}, {ui->TBStampa, 8},   {ui->TBEsci, 0}};
    for (const auto& [button, index] : images)
        button->setIcon(FDB->ImageList2BIG.value(index));
    ui->TBSalva->setEnabled(false);
    ui->TBAnnulla->setEnabled(false);
    auto* popupMenu1 = new QMenu(this);
    popupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    popupMenu1->addAction(ui->NONATTIVA1);
    ui->TBStampa->setMenu(popupMenu1);
    ui->TBStampa->setPopupMode(QToolButton::InstantPopup);
}

void TFAgenda::CreateStatusBar()
{
    ui->StatusBar1->setFixedHeight(StatusBarHeight);
    ui->StatusBar1->setSizeGripEnabled(false);
    auto* panels = new QWidget(ui->StatusBar1);
    int left = 0;
    for (int i = 0; const TStatusPanel& p : StatusPanels) {
        auto* panel = new QLabel(QString::fromLatin1(p.text), panels);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i++));
        panel->setFrameStyle(QFrame::Panel | (p.raised ? QFrame::Raised : QFrame::Sunken));
        panel->setAlignment(Qt::AlignCenter);
        panel->setGeometry(left, 0, p.width, StatusBarHeight - 6);
        left += p.width + 2;
    }
    ui->StatusBar1->addWidget(panels, 1);
}

void TFAgenda::BindControls()
{
    for (TDBEdit* edit : ui->PanelScheda->findChildren<TDBEdit*>())
        edit->Bind(FDB->DS_Nortav, edit->objectName());
    ui->Note->Bind(FDB->DS_Nortav, ui->Note->objectName());
    ui->DBNavigator1->SetDataSource(FDB->DS_Nortav);
}

void TFAgenda::ConnectHandlers()
{
    using THandler = void (TFAgenda::*)();
    const std::tuple<QAction*, QToolButton*, THandler> commands[] = {
        {ui->Nuovo1, ui->TBNuovo, &TFAgenda::Nuovo1Click},
        {ui->Modifica1, ui->TBModifica, &TFAgenda::Modifica1Click},
        {ui->Salva1, ui->TBSalva, &TFAgenda::Salva1Click},
        {ui->Cancella1, ui->TBCancella, &TFAgenda::Cancella1Click},
        {ui->Annulla1, ui->TBAnnulla, &TFAgenda::Annulla1Click},
        {ui->Esci1, ui->TBEsci, &TFAgenda::Esci1Click}};
    for (const auto& [item, button, handler] : commands) {
        connect(item, &QAction::triggered, this, handler);
        connect(button, &QToolButton::clicked, this, handler);
    }
    connect(ui->Riepilogo1, &QAction::triggered, this, &TFAgenda::StpFattura1Click);
    connect(ui->NONATTIVA1, &QAction::triggered, this, &TFAgenda::StpFattura1Click);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TFAgenda::BitBtn1Click);

    for (TDBEdit* edit : ui->PanelScheda->findChildren<TDBEdit*>()) {
        connect(edit, &TDBEdit::Enter, this, &TFAgenda::ORACont01Enter);
        const bool value = edit->objectName().startsWith(QLatin1String("Val"));
        connect(edit, &TDBEdit::Exit, this, value ? &TFAgenda::Val01Exit : &TFAgenda::ORACont01Exit);
    }
    connect(ui->Note, &TDBMemo::Enter, this, &TFAgenda::ORACont01Enter);
    connect(ui->Note, &TDBMemo::Exit, this, &TFAgenda::ORACont01Exit);
}

void TFAgenda::SetMode(TMode mode)
{
    const bool editing = mode == TMode::Editing;
    const std::tuple<QAction*, QWidget*, bool> items[] = {
        {ui->Nuovo1, ui->TBNuovo, !editing},       {ui->Modifica1, ui->TBModifica, !editing},
        {ui->Salva1, ui->TBSalva, editing},        {ui->Annulla1, ui->TBAnnulla, editing},
        {ui->Cancella1, ui->TBCancella, !editing}, {ui->Stampa1->menuAction(), ui->TBStampa, !editing},
        {ui->Esci1, ui->TBEsci, !editing}};
    for (const auto& [item, button, enabled] : items) {
        item->setEnabled(enabled);
        button->setEnabled(enabled);
    }
    ui->DBNavigator1->setEnabled(!editing);
    ui->PanelScheda->setEnabled(editing);
}

void TFAgenda::RunCommand(std::optional<TMode> mode, const std::function<void()>& tableCall)
{
    Guard([&] {
        if (!mode) {
            tableCall();
            return;
        }
        SetMode(*mode);
        try {
            tableCall();
        } catch (...) {
            const TDataSetState state = FDB->T_Nortav->State();
            const bool pending = state == TDataSetState::Edit || state == TDataSetState::Insert;
            SetMode(pending ? TMode::Editing : TMode::Browsing);
            throw;
        }
    });
}

void TFAgenda::Nuovo1Click()
{
    RunCommand(TMode::Editing, [] {
        TTable* table = FDB->T_Nortav;
        table->Append();
        table->FieldByName(QStringLiteral("Data")).SetValue(QDate::currentDate());
        for (int n = 1; int hour : DefaultHours)
            table->FieldByName(QStringLiteral("OraCont%1").arg(n++, 2, 10, QLatin1Char('0')))
                .SetValue(QTime(hour, 0));
    });
}

void TFAgenda::Modifica1Click()
{
    RunCommand(TMode::Editing, [] { FDB->T_Nortav->Edit(); });
}

void TFAgenda::Salva1Click()
{
    RunCommand(TMode::Browsing, [] { FDB->T_Nortav->Post(); });
}

void TFAgenda::Annulla1Click()
{
    RunCommand(TMode::Browsing, [] { FDB->T_Nortav->Cancel(); });
}

void TFAgenda::Cancella1Click()
{
    RunCommand(TMode::Browsing, [] { FDB->T_Nortav->Delete(); });
}

void TFAgenda::Esci1Click()
{
    RunCommand(std::nullopt, [this] {
        FDB->T_Nortav->Close();
        close();
    });
}

// Both print entries are placeholders that do nothing.
void TFAgenda::StpFattura1Click() {}

void TFAgenda::FormShow() {}

void TFAgenda::BitBtn1Click()
{
    Guard([this] { PGrafico->Visualizza(ui->TDal->Text(), ui->TAl->Text()); });
}

void TFAgenda::ORACont01Enter(QWidget* control)
{
    SetBackground(control, QPalette::Base, BgrColor(SkyBlue));
}

void TFAgenda::ORACont01Exit(QWidget* control)
{
    SetBackground(control, QPalette::Base, style()->standardPalette().color(QPalette::Base));
}

void TFAgenda::Val01Exit(QWidget* control)
{
    ORACont01Exit(control);
}

void TFAgenda::ShowModal()
{
    if (m_modalLoop)
        return;
    show();
    raise();
    activateWindow();
    if (!isVisible())
        return;
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_modalLoop = nullptr;
}

void TFAgenda::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFAgenda::hideEvent(QHideEvent* event)
{
    QMainWindow::hideEvent(event);
    // Minimising hides the window spontaneously; only a real close ends the modal run.
    if (!event->spontaneous() && m_modalLoop)
        m_modalLoop->quit();
}
