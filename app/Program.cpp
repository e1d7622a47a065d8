#include "app/Program.h"

#include "app/F_About.h"
#include "app/F_Main.h"
#include "app/MessageBox.h"
#include "archive/F_CambioAnno.h"
#include "archive/F_CreaArchivio.h"
#include "data/F_Conf.h"
#include "data/F_DB.h"
#include "diary/F_Agenda.h"

#include <QApplication>

namespace
{

template <typename T> void Destroy(T*& object)
{
    delete object;
    object = nullptr;
}

} // namespace

TProgram::TProgram()
{
    try {
        FMain = new TFMain;
        FConf = new TFConf;
        FDB = new TFDB;
        FAgenda = new TFAgenda;
        FF_About = new TFF_About;
        FCambioAnno = new TFCambioAnno(FMain);
        FCreaArchivio = new TFCreaArchivio(FMain);
    } catch (...) {
        DestroyAll();
        throw;
    }
}

TProgram::~TProgram()
{
    DestroyAll();
}

void TProgram::DestroyAll()
{
    Destroy(FCreaArchivio);
    Destroy(FCambioAnno);
    Destroy(FF_About);
    Destroy(FAgenda);
    Destroy(FDB);
    Destroy(FConf);
    Destroy(FMain);
}

int RunProgram(const TProgramFactory& create)
{
    std::unique_ptr<TProgram> program;
    try {
        program = create();
    } catch (const std::exception& e) {
        MostraErroreApplicazione(QString::fromUtf8(e.what()));
        return 1;
    }
    FMain->show();
    return QApplication::exec();
}
