#pragma once

// The diary window: one diary record at a time in the record panel, the commands that add, edit, save,
// cancel and delete it, and the controls of the glucose trend chart.

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class QEventLoop;
class TPGrafico;

namespace Ui
{
class TFAgenda;
}

class TFAgenda : public QMainWindow
{
    Q_OBJECT
public:
    explicit TFAgenda(QWidget* parent = nullptr);
    ~TFAgenda() override;

    // Application-modal until the window is hidden (close box or "&Esci").
    void ShowModal();

    void Nuovo1Click();
    void Modifica1Click();
    void Salva1Click();
    void Annulla1Click();
    void Cancella1Click();
    void Esci1Click();
    void StpFattura1Click();
    void FormShow();
    void BitBtn1Click();

    // Focus highlight of the data controls.
    void ORACont01Enter(QWidget* control);
    void ORACont01Exit(QWidget* control);
    void Val01Exit(QWidget* control);

    TPGrafico* PGrafico;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    enum class TMode { Editing, Browsing };

    void CreateLayout();
    void ColourControls();
    void CreateToolBar();
    void CreateStatusBar();
    void BindControls();
    void ConnectHandlers();

    void SetMode(TMode mode);
    // Runs one command: the mode first, then the table call; a failed call puts back the mode that
    // matches the table's state before the error is shown.
    void RunCommand(std::optional<TMode> mode, const std::function<void()>& tableCall);

    std::unique_ptr<Ui::TFAgenda> ui;
    QEventLoop* m_modalLoop = nullptr;
};

extern TFAgenda* FAgenda;
