#pragma once

// The About window: the program's logo with its version, the maker's credit line, and the maker's logo,
// which opens the maker's web site when clicked.

#include <QDialog>
#include <QUrl>
#include <memory>

namespace Ui
{
class TFF_About;
}

class TFF_About : public QDialog
{
    Q_OBJECT
public:
    explicit TFF_About(QWidget* parent = nullptr);
    ~TFF_About() override;

    // The maker's web site, opened by Image4Click.
    static QUrl MakerUrl();

    void ShowModal();

    void Image4Click();  // asks the desktop to open MakerUrl(); the result is ignored
    void Button1Click(); // closes the window

protected:
    bool eventFilter(QObject* watched, QEvent* event) override; // turns a click on Image4 into Image4Click

private:
    void ApplyLook();

    std::unique_ptr<Ui::TFF_About> ui;
};

extern TFF_About* FF_About;
