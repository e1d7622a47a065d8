#pragma once

#include <QDialog>

class TFCambioAnno : public QDialog {
    Q_OBJECT
public:
    explicit TFCambioAnno(QWidget* parent = nullptr);

    void ShowModal();
};

extern TFCambioAnno* FCambioAnno;
