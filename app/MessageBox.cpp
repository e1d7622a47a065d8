#include "app/MessageBox.h"

#include "data/Messages.h"

#include <QApplication>
#include <QMessageBox>

void PreparaApplicazione(QApplication& app)
{
    app.setApplicationName(QStringLiteral("Sormelin"));
    app.setApplicationDisplayName(QStringLiteral("Sormelin"));
}

void MostraErroreApplicazione(const QString& text)
{
    QMessageBox::critical(nullptr, QStringLiteral("Application Error"), ErrorText(text));
}
