#include "app/F_About.h"

#include "app/Layout.h"
#include "data/Messages.h"

#include "ui_F_About.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>

TFF_About* FF_About = nullptr;

namespace
{

// A picture drawn to fill the label it goes in, stretched as the layout has it: rendering the drawing at
// the label's size keeps it sharp where scaling a bitmap down would blur it.
void ShowStretched(QLabel* image, const QString& path)
{
    QPixmap pixmap(image->size());
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer(path).render(&painter);
    image->setPixmap(pixmap);
}

} // namespace

TFF_About::TFF_About(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TFF_About>())
{
    ui->setupUi(this);
    ApplyLook();
    ui->Image4->installEventFilter(this);
    connect(ui->Button1, &QPushButton::clicked, this, [this] { Guard([this] { Button1Click(); }); });
}

TFF_About::~TFF_About() = default;

void TFF_About::ApplyLook()
{
    SetWindowMetrics(this, QSize(245, 267));
    move(0, 0); // top-left corner of the screen, not centred
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);

    ShowStretched(ui->Image1, QStringLiteral(":/images/logo.svg"));
    ShowStretched(ui->Image4, QStringLiteral(":/images/maker.svg"));

    ui->Label2->setFont(PixelFont(QStringLiteral("Tahoma"), 13, true));
    QPalette red = ui->Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    ui->Label2->setPalette(red);
    ui->Label1->setFont(PixelFont(QStringLiteral("Times New Roman"), 13, true, true));
}

QUrl TFF_About::MakerUrl()
{
    return QUrl(QStringLiteral("https://korvanex.example/"));
}

void TFF_About::ShowModal()
{
    exec();
}

void TFF_About::Image4Click()
{
    QDesktopServices::openUrl(MakerUrl());
}

void TFF_About::Button1Click()
{
    accept();
}

bool TFF_About::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Image4 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A click is a left press and release on the picture; a release after dragging off it is none.
        if (mouse->button() == Qt::LeftButton && ui->Image4->rect().contains(mouse->position().toPoint())) {
            Guard([this] { Image4Click(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
