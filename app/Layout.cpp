#include "app/Layout.h"

#include <QLabel>
#include <QPalette>
#include <QWidget>

QColor BgrColor(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QSize ClientSize(QSize outer)
{
    return outer - QSize(8, 30);
}

QFont PixelFont(const QString& family, int pixelSize, bool bold, bool italic)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

QFont DefaultFont()
{
    return PixelFont(QStringLiteral("Tahoma"), 11);
}

void SetWindowMetrics(QWidget* window, QSize outer)
{
    window->setFont(DefaultFont());
    window->setFixedSize(ClientSize(outer));
}

void StyleStaticText(QLabel* label)
{
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignCenter);
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, BgrColor(SkyBlue));
    label->setPalette(palette);
}
