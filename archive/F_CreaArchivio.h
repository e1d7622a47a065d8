#pragma once

#include <QDialog>

class TFCreaArchivio : public QDialog {
    Q_OBJECT
public:
    explicit TFCreaArchivio(QWidget* parent = nullptr);

    void ShowModal();
};

extern TFCreaArchivio* FCreaArchivio;
