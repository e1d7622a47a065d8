#include "diary/MaskEdit.h"

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent) {}

void TMaskEdit::SetEditMask(const QString&) {}

QString TMaskEdit::EditMask() const { return {}; }

QString TMaskEdit::Text() const { return text(); }
