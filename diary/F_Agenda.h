#pragma once

#include <QMainWindow>

class TFAgenda : public QMainWindow {
    Q_OBJECT
public:
    explicit TFAgenda(QWidget* parent = nullptr);

    void ShowModal();
};

extern TFAgenda* FAgenda;
