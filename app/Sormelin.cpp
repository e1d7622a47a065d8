#include "app/MessageBox.h"
#include "app/Program.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    PreparaApplicazione(app);
    return RunProgram([] { return std::make_unique<TProgram>(); });
}
