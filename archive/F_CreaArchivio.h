#pragma once

// The new-archive dialog: the year change that creates the year's folder and protected table.

#include "archive/F_CambioAnno.h"

namespace Ui
{
class TFCreaArchivio;
}

class TFCreaArchivio : public TDialogoAnno
{
    Q_OBJECT
public:
    explicit TFCreaArchivio(QWidget* parent = nullptr);
    ~TFCreaArchivio() override;

private:
    // Creates the folder and a missing table of the year typed, protects a table it created, switches to it.
    void Conferma() override;

    std::unique_ptr<Ui::TFCreaArchivio> ui;
};

extern TFCreaArchivio* FCreaArchivio;
