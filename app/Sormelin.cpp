#include "app/MessageBox.h"
#include "app/Program.h"
#include "app/F_Main.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    PreparaApplicazione(app);
    try {
        TProgram program;
        FMain->show();
        return app.exec();
    } catch (const std::exception& e) {
        MostraErroreApplicazione(QString::fromUtf8(e.what()));
        return 1;
    }
}
