#include "TestSupport.h"

#include "app/F_About.h"
#include "app/F_Main.h"
#include "app/Layout.h"
#include "app/MessageBox.h"
#include "app/Program.h"
#include "archive/F_CambioAnno.h"
#include "archive/F_CreaArchivio.h"
#include "data/Errors.h"
#include "data/F_DB.h"
#include "diary/F_Agenda.h"

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <optional>

using namespace Qt::StringLiterals;

namespace
{

// Waits for the next modal window, hands it to look, then closes it. Gives up after a few seconds so a
// window that never opens fails the test instead of hanging it. delayMs keeps the window open longer.
void CloseNextModal(std::function<void(QWidget*)> look, int delayMs = 0)
{
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer giveUp(5000 + delayMs);
    const QDeadlineTimer earliest(delayMs);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* window = QApplication::activeModalWidget();
        if (!giveUp.hasExpired() && (!window || !earliest.hasExpired()))
            return;
        timer->deleteLater();
        if (window) {
            look(window);
            window->close();
        }
    });
    timer->start(20);
}

QLabel* Panel(int index)
{
    return FMain->findChild<QLabel*>(QStringLiteral("Panel%1").arg(index));
}

QString TimeRegex(const QString& hourMinuteSecond, const QString& tail = {})
{
    return QStringLiteral("^") + hourMinuteSecond + tail + QStringLiteral("$");
}

} // namespace

class TstMain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void windowAndStatusBar();
    void menus_data();
    void menus();
    void commands_data();
    void commands();
    void exitEndsProgram_data();
    void exitEndsProgram();

    void clock_data();
    void clock();
    void clockTicksAndFollowsLocale();
    void clockRunsWhileModal();

    void messageBox_data();
    void messageBox();
    void applicationSetUp();
    void applicationError();

private:
    std::optional<TTempHome> m_home;
    std::optional<TMessageRecorder> m_messages;
    std::unique_ptr<TProgram> m_program;
};

void TstMain::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("KORVANEX"));
    QCoreApplication::setApplicationName(QStringLiteral("Sormelin"));
}

void TstMain::init()
{
    QLocale::setDefault(QLocale::system());
    m_home.emplace();
    m_messages.emplace();
    m_program = std::make_unique<TProgram>();
}

void TstMain::cleanup()
{
    m_program.reset();
    m_messages.reset();
    m_home.reset();
    QLocale::setDefault(QLocale::system());
}

void TstMain::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QColor>("color"); // text colour, or the background of a band

    const QFont tahoma = DefaultFont();
    const QColor none;
    QTest::newRow("band") << u"CoolBar1"_s << QRect(0, 0, 742, 65) << QString() << tahoma
                          << BgrColor(0xF8D3BA);
    QTest::newRow("toolbar") << u"ToolBar1"_s << QRect(9, 0, 725, 49) << QString() << tahoma << none;
    QTest::newRow("logo") << u"Image1"_s << QRect(0, 72, 437, 152) << QString() << tahoma << none;
    QTest::newRow("version") << u"Label2"_s << QRect(368, 176, 65, 17) << u"Ver. 1.0"_s
                             << PixelFont(QStringLiteral("Palatino Linotype"), 13, false, true)
                             << QColor(Qt::red);
    QTest::newRow("working year") << u"StaticText1"_s << QRect(8, 232, 57, 25) << u"2009"_s
                                  << PixelFont(QStringLiteral("Arial"), 19, true) << QColor(Qt::blue);
}

void TstMain::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QFont, font);
    QFETCH(QColor, color);

    auto* widget = FMain->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->font().family(), font.family());
    QCOMPARE(widget->font().pixelSize(), font.pixelSize());
    QCOMPARE(widget->font().bold(), font.bold());
    QCOMPARE(widget->font().italic(), font.italic());
    if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), text);
    if (color.isValid() && widget->autoFillBackground())
        QCOMPARE(widget->palette().color(QPalette::Window), color);
    else if (color.isValid())
        QCOMPARE(widget->palette().color(QPalette::WindowText), color);
}

void TstMain::windowAndStatusBar()
{
    QCOMPARE(FMain->windowTitle(), QStringLiteral("Sormelin"));
    QCOMPARE(FMain->size(), ClientSize(QSize(750, 665)));
    QCOMPARE(FMain->centralWidget()->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(FMain->findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().size(), QSize(437, 152));

    auto* toolBar = FMain->findChild<QToolBar*>(QStringLiteral("ToolBar1"));
    QStringList buttons;
    for (QAction* action : toolBar->actions())
        buttons << toolBar->widgetForAction(action)->objectName();
    QCOMPARE(buttons, QStringList({u"ToolButton2"_s, u"ToolButton4"_s, u"ToolButton5"_s}));
    for (const char* name : {"ToolButton2", "ToolButton5"})
        QCOMPARE(FMain->findChild<QToolButton*>(QLatin1String(name))->size(), QSize(39, 38));
    QCOMPARE(FMain->findChild<QWidget*>(QStringLiteral("ToolButton4"))->width(), 8);

    QCOMPARE(FMain->statusBar()->objectName(), QStringLiteral("StatusBar1"));
    QCOMPARE(FMain->statusBar()->height(), 39);
    QCOMPARE(Panel(0)->width(), 80);
    QCOMPARE(Panel(0)->alignment(), Qt::AlignCenter);
    QCOMPARE(Panel(0)->layoutDirection(), Qt::RightToLeft);
    QCOMPARE(Panel(0)->frameShadow(), QFrame::Raised);
    QCOMPARE(Panel(1)->width(), 600);
    QVERIFY(Panel(2)->width() >= 50);
    QCOMPARE(Panel(2)->alignment(), Qt::AlignCenter);

    // The toolbar's images come from the data module once the window shows.
    FMain->show();
    auto* diary = FMain->findChild<QToolButton*>(QStringLiteral("ToolButton2"));
    auto* exit = FMain->findChild<QToolButton*>(QStringLiteral("ToolButton5"));
    QVERIFY(!diary->icon().isNull());
    QCOMPARE(diary->icon().cacheKey(), FDB->ImageList2BIG.value(3).cacheKey());
    QCOMPARE(exit->icon().cacheKey(), FDB->ImageList2BIG.value(0).cacheKey());
}

void TstMain::menus_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items"); // "-" is a separator
    QTest::newRow("documents") << u"&Documenti"_s << QStringList({u"&Agenda"_s, u"-"_s, u"&Esci"_s});
    QTest::newRow("tools") << u"&Strumenti"_s
                           << QStringList({u"Cambio Anno"_s, u"Crea Nuovo Archivio"_s, u"-"_s});
    QTest::newRow("help") << u"?"_s << QStringList({u"About"_s});
}

void TstMain::menus()
{
    QFETCH(QString, title);
    QFETCH(QStringList, items);

    QStringList titles;
    QMenu* menu = nullptr;
    for (QAction* action : FMain->menuBar()->actions()) {
        titles << action->text();
        if (action->text() == title)
            menu = action->menu();
    }
    QCOMPARE(titles, QStringList({u"&Documenti"_s, u"&Strumenti"_s, u"?"_s}));
    QVERIFY(menu);
    QStringList shown;
    for (QAction* action : menu->actions())
        shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(shown, items);
    QVERIFY(!menu->separatorsCollapsible() || !items.endsWith(QStringLiteral("-")));
}

void TstMain::commands_data()
{
    QTest::addColumn<QString>("trigger"); // a menu item or a toolbar button
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("tableOpen");
    QTest::newRow("Agenda menu") << u"Agenda1"_s << u"FAgenda"_s << true;
    QTest::newRow("diary button") << u"ToolButton2"_s << u"FAgenda"_s << true;
    QTest::newRow("Cambio Anno") << u"CambioAnno1"_s << u"FCambioAnno"_s << false;
    QTest::newRow("Crea Nuovo Archivio") << u"CreaNuovoArchivio1"_s << u"FCreaArchivio"_s << false;
    QTest::newRow("About") << u"About1"_s << u"FF_About"_s << false;
}

// Each command twice: the diary opens its table again before every show.
void TstMain::commands()
{
    QFETCH(QString, trigger);
    QFETCH(QString, window);
    QFETCH(bool, tableOpen);

    FMain->show();
    QVERIFY2(m_messages->Errors().isEmpty(), qPrintable(m_messages->Errors().join(u'\n')));
    const QHash<QString, QWidget*> windows{{u"FAgenda"_s, FAgenda},
                                           {u"FCambioAnno"_s, FCambioAnno},
                                           {u"FCreaArchivio"_s, FCreaArchivio},
                                           {u"FF_About"_s, FF_About}};
    for (int round = 0; round < 2; ++round) {
        FDB->T_Nortav->Close();
        QWidget* opened = nullptr;
        bool activeWhenShown = false;
        CloseNextModal([&](QWidget* w) {
            opened = w;
            activeWhenShown = FDB->T_Nortav->Active();
        });
        if (auto* action = FMain->findChild<QAction*>(trigger))
            action->trigger();
        else
            FMain->findChild<QToolButton*>(trigger)->click();
        QCOMPARE(opened, windows.value(window));
        QCOMPARE(activeWhenShown, tableOpen);
        QVERIFY(FMain->isVisible());
    }
    QVERIFY2(m_messages->Errors().isEmpty(), qPrintable(m_messages->Errors().join(u'\n')));
}

void TstMain::exitEndsProgram_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("Esci menu") << u"Esci1"_s;
    QTest::newRow("exit button") << u"ToolButton5"_s;
}

// Closing the main window ends the event loop.
void TstMain::exitEndsProgram()
{
    QFETCH(QString, trigger);
    FMain->show();
    QTimer::singleShot(0, FMain, [&] {
        if (auto* action = FMain->findChild<QAction*>(trigger))
            action->trigger();
        else
            FMain->findChild<QToolButton*>(trigger)->click();
    });
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(2); });
    giveUp.start(3000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!FMain->isVisible());
}

void TstMain::clock_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("24-hour, no leading zero, period")
        << u"fi_FI"_s << TimeRegex(QStringLiteral("(1?\\d|2[0-3])\\.[0-5]\\d\\.[0-5]\\d"));
    QTest::newRow("12-hour with marker")
        << u"en_US"_s
        << TimeRegex(QStringLiteral("([1-9]|1[0-2]):[0-5]\\d:[0-5]\\d"), QStringLiteral(" (AM|PM)"));
}

void TstMain::clock()
{
    QFETCH(QString, locale);
    QFETCH(QString, pattern);
    QLocale::setDefault(QLocale(locale));
    const QString format =
        locale == QLatin1String("fi_FI") ? QStringLiteral("H.mm.ss") : QStringLiteral("h:mm:ss AP");

    const QTime before = QTime::currentTime();
    FMain->Timer1Timer();
    const QTime after = QTime::currentTime();
    const QString text = Panel(0)->text();
    QVERIFY2(QRegularExpression(pattern).match(text).hasMatch(), qPrintable(text));
    QVERIFY2(text == before.toString(format) || text == after.toString(format), qPrintable(text));
}

// The timer runs from creation and each tick reads the locale then in force.
void TstMain::clockTicksAndFollowsLocale()
{
    QLocale::setDefault(QLocale(QStringLiteral("fi_FI")));
    QTRY_VERIFY_WITH_TIMEOUT(Panel(0)->text().contains(u'.'), 3000);
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    QTRY_VERIFY_WITH_TIMEOUT(Panel(0)->text().endsWith(QStringLiteral("M")), 3000);
    QVERIFY(Panel(0)->text().contains(u':'));
    QVERIFY(m_messages->Entries().isEmpty());
}

void TstMain::clockRunsWhileModal()
{
    Panel(0)->clear();
    QString shownMeanwhile;
    CloseNextModal([&](QWidget*) { shownMeanwhile = Panel(0)->text(); }, 2500);
    FMain->CambioAnno1Click();
    QVERIFY(!shownMeanwhile.isEmpty());
}

void TstMain::messageBox_data()
{
    QTest::addColumn<bool>("error");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("icon");
    QTest::newRow("message, carriage returns")
        << false << u" ERRORE NEI PERCORSO DEL PROGRAMMA \r\r     CHIUDERE E RIAVVIARE"_s
        << u" ERRORE NEI PERCORSO DEL PROGRAMMA \n\n     CHIUDERE E RIAVVIARE"_s << int(QMessageBox::NoIcon);
    QTest::newRow("error gets its period")
        << true << u"Table is busy"_s << u"Table is busy."_s << int(QMessageBox::Critical);
}

void TstMain::messageBox()
{
    QFETCH(bool, error);
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(int, icon);

    QApplication& app = *qApp;
    PreparaApplicazione(app);
    QString title, boxText;
    int boxIcon = -1;
    qsizetype buttons = 0;
    QMessageBox::StandardButtons standard;
    CloseNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box)
            return;
        title = box->windowTitle();
        boxText = box->text();
        boxIcon = box->icon();
        buttons = box->buttons().size();
        standard = box->standardButtons();
    });
    error ? HandleError(text) : ShowMessage(text);
    QCOMPARE(title, QStringLiteral("Sormelin"));
    QCOMPARE(boxText, shown);
    QCOMPARE(boxIcon, icon);
    QCOMPARE(buttons, 1);
    QCOMPARE(standard, QMessageBox::Ok);
}

// Names of the settings and data folders, Qt's Italian texts and the stand-in fonts.
void TstMain::applicationSetUp()
{
    PreparaApplicazione(*qApp);
    QVERIFY(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                .endsWith(QStringLiteral("/KORVANEX/Sormelin")));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Annulla"));
    QCOMPARE(QFontInfo(DefaultFont()).family(), QStringLiteral("Tahoma"));
    QCOMPARE(QFontInfo(PixelFont(QStringLiteral("Arial"), 19)).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(PixelFont(QStringLiteral("Times New Roman"), 13)).family(),
             QStringLiteral("Liberation Serif"));
    QVERIFY(QFontInfo(PixelFont(QStringLiteral("Palatino Linotype"), 13)).family().startsWith(u"P052"_s));
}

// A failure while creating the objects: no window, one "Application Error" box, exit code 1.
void TstMain::applicationError()
{
    m_program.reset();
    QString title, text;
    int icon = -1;
    int visibleOthers = -1;
    CloseNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        title = w->windowTitle();
        text = box ? box->text() : QString();
        icon = box ? box->icon() : -1;
        visibleOthers = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            visibleOthers += top != w && top->isVisible();
    });
    const int code = RunProgram([]() -> std::unique_ptr<TProgram> {
        auto program = std::make_unique<TProgram>();
        throw EEngineError(QStringLiteral("An error occurred while attempting to initialize the database "
                                          "engine (error $2108)"));
    });
    QCOMPARE(code, 1);
    QCOMPARE(title, QStringLiteral("Application Error"));
    QCOMPARE(text, QStringLiteral("An error occurred while attempting to initialize the database engine "
                                  "(error $2108)"));
    QCOMPARE(icon, int(QMessageBox::Critical));
    QCOMPARE(visibleOthers, 0);
    QVERIFY(!FMain);
}

QTEST_MAIN(TstMain)
#include "tst_main.moc"
