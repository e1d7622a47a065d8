#pragma once

// Shared look of the program's windows: sizes given as outer sizes, colours as 0xBBGGRR values, fonts
// in pixels, and the sunken sky-blue caption used above fields.

#include <QColor>
#include <QFont>
#include <QSize>

class QLabel;
class QWidget;

// A colour written blue-green-red (0xBBGGRR).
QColor BgrColor(quint32 bgr);

// Sky blue, the background of captions and of the field that has the focus.
inline constexpr quint32 SkyBlue = 0xF0CAA6;

// A window's own size for a designed outer size: the designed frame (4 px borders, 26 px caption) is
// left to the window manager.
QSize ClientSize(QSize outer);

// A font of the given family and pixel height.
QFont PixelFont(const QString& family, int pixelSize, bool bold = false, bool italic = false);

// Tahoma 11 pixels (8 point), the font of every window unless a control says otherwise.
QFont DefaultFont();

// Gives a window its outer size and default font, fixed in size.
void SetWindowMetrics(QWidget* window, QSize outer);

// A static text with a sunken border on sky blue, its text centred.
void StyleStaticText(QLabel* label);
