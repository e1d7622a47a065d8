#pragma once

#include <QDialog>

class TFF_About : public QDialog {
    Q_OBJECT
public:
    explicit TFF_About(QWidget* parent = nullptr);

    void ShowModal();
};

extern TFF_About* FF_About;
