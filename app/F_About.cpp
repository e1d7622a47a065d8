#include "app/F_About.h"

TFF_About* FF_About = nullptr;

TFF_About::TFF_About(QWidget* parent) : QDialog(parent) {}

void TFF_About::ShowModal() {}
