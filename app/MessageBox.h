#pragma once

#include <QString>

class QApplication;

// Application-wide set-up done before any window exists: title, names of the settings, Italian Qt texts,
// font substitutes, and the message box that shows every message of the program.
void PreparaApplicazione(QApplication& app);

// The one error that escapes the entry: an "Application Error" box before the program ends.
void MostraErroreApplicazione(const QString& text);
