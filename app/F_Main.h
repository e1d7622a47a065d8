#pragma once

#include <QMainWindow>
#include <memory>

namespace Ui {
class TFMain;
}

// The main window: menus, toolbar, logo, working-year display and clock; its first show starts up.
class TFMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFMain(QWidget* parent = nullptr);
    ~TFMain() override;

    // The working-year display (StaticText1).
    void MostraAnno(const QString& anno);
    QString Anno() const;

    void FormShow(); // the start-up sequence
    void Timer1Timer();
    void Agenda1Click();
    void Esci1Click();
    void CambioAnno1Click();
    void CreaNuovoArchivio1Click();
    void About1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TFMain> ui;
    bool m_shown = false;
};

extern TFMain* FMain;
