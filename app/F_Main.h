#pragma once

#include <QMainWindow>
#include <memory>

class QLabel;
class QTimer;

namespace Ui
{
class TFMain;
}

// The main window: menus, toolbar, logo, working-year display and clock; its first show starts up.
class TFMain : public QMainWindow
{
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
    void CreaAspetto();
    void CreaStatusBar();
    void CreaComandi();
    void ImpostaIcone();

    // Start-up steps; the checks return false when the sequence stops.
    void CaricaConfigurazioneBase();
    bool ControllaPercorsi(QString& cartellaAnno);
    void ApriArchivio(const QString& cartellaAnno);

    std::unique_ptr<Ui::TFMain> ui;
    QList<QLabel*> m_panels;
    QTimer* Timer1;
    bool m_shown = false;
};

extern TFMain* FMain;
