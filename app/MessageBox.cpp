#include "app/MessageBox.h"

#include "app/Layout.h"
#include "data/Messages.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>

namespace
{

// Qt's own texts (standard buttons, the edit context menu) in Italian like the rest of the program.
void CaricaTraduzione(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_it"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
}

// Metric-compatible faces for the designed fonts. Tahoma comes as files that fontconfig does not list.
void RegistraFont()
{
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"})
        QFontDatabase::addApplicationFont(QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Palatino Linotype"), QStringLiteral("P052"));
}

void MostraMessaggio(TMsgKind kind, const QString& text)
{
    QMessageBox box(kind == TMsgKind::Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QCoreApplication::applicationName(), QString(text).replace(u'\r', u'\n'),
                    QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace

void PreparaApplicazione(QApplication& app)
{
    app.setOrganizationName(QStringLiteral("KORVANEX"));
    // The title only: a display name would make X11 append it to every window's caption.
    app.setApplicationName(QStringLiteral("Sormelin"));
    CaricaTraduzione(app);
    RegistraFont();
    app.setFont(DefaultFont());
    SetMessageSink(MostraMessaggio);
}

void MostraErroreApplicazione(const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Application Error"),
                    ErrorText(text).replace(u'\r', u'\n'), QMessageBox::Ok);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
