#include "TestSupport.h"

#include "app/F_About.h"
#include "app/Layout.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

// Stands in for the desktop's browser: records each address it is asked to open.
class TUrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened << url; }
};

class TstAbout : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void windowLook();
    void fonts();
    void imagesShowTheLogos();
    void makerLogoOpensWebSite();
    void noBrowserIsHarmless();
    void okEndsModalShow();

private:
    template <typename T> T* Control(const char* name) const
    {
        return FF_About->findChild<T*>(QString::fromLatin1(name));
    }

    TUrlCatcher m_catcher;
};

void TstAbout::init()
{
    FF_About = new TFF_About;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_catcher, "Open");
    m_catcher.opened.clear();
}

void TstAbout::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    delete FF_About;
    FF_About = nullptr;
}

void TstAbout::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::newRow("Image1") << QStringLiteral("Image1") << QRect(8, 8, 217, 97) << QString();
    QTest::newRow("Label2") << QStringLiteral("Label2") << QRect(168, 76, 51, 16)
                            << QStringLiteral("Ver. 1.0");
    QTest::newRow("Label1") << QStringLiteral("Label1") << QRect(40, 120, 147, 16)
                            << QStringLiteral("KORVANEX Software");
    QTest::newRow("Image4") << QStringLiteral("Image4") << QRect(46, 141, 131, 44) << QString();
    QTest::newRow("Button1") << QStringLiteral("Button1") << QRect(80, 200, 75, 25) << QStringLiteral("&OK");
}

void TstAbout::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    auto* control = FF_About->findChild<QWidget*>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
    if (auto* label = qobject_cast<QLabel*>(control))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QPushButton*>(control)->text(), text);
}

void TstAbout::windowLook()
{
    QCOMPARE(FF_About->windowTitle(), QStringLiteral("About"));
    QCOMPARE(FF_About->size(), ClientSize(QSize(245, 267)));
    QCOMPARE(FF_About->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(FF_About->font().pixelSize(), 11);

    // Placed at the screen's corner, not centred like a dialog would be.
    FF_About->show();
    QVERIFY(QTest::qWaitForWindowExposed(FF_About));
    QCOMPARE(FF_About->frameGeometry().topLeft(), QPoint(0, 0));

    // The version label sits over the logo, so it must be drawn above it.
    auto* logo = Control<QLabel>("Image1");
    auto* version = Control<QLabel>("Label2");
    QVERIFY(logo->geometry().contains(version->geometry()));
    QCOMPARE(FF_About->childAt(version->geometry().center()), version);
}

void TstAbout::fonts()
{
    const QFont version = Control<QLabel>("Label2")->font();
    QCOMPARE(version.family(), QStringLiteral("Tahoma"));
    QCOMPARE(version.pixelSize(), 13);
    QVERIFY(version.bold());
    QVERIFY(!version.italic());
    QCOMPARE(Control<QLabel>("Label2")->palette().color(QPalette::WindowText), QColor(Qt::red));

    const QFont credit = Control<QLabel>("Label1")->font();
    QCOMPARE(credit.family(), QStringLiteral("Times New Roman"));
    QCOMPARE(credit.pixelSize(), 13);
    QVERIFY(credit.bold());
    QVERIFY(credit.italic());
}

void TstAbout::imagesShowTheLogos()
{
    for (const char* name : {"Image1", "Image4"}) {
        auto* image = Control<QLabel>(name);
        const QPixmap pixmap = image->pixmap();
        QVERIFY2(!pixmap.isNull(), name);
        QCOMPARE(pixmap.size(), image->size());
        // Drawn, not blank: the logos have dark letters on white.
        const QImage picture = pixmap.toImage();
        bool dark = false;
        for (int y = 0; y < picture.height() && !dark; ++y)
            for (int x = 0; x < picture.width() && !dark; ++x)
                dark = qGray(picture.pixel(x, y)) < 100 && qAlpha(picture.pixel(x, y)) == 255;
        QVERIFY2(dark, name);
    }
    QCOMPARE(Control<QLabel>("Image4")->cursor().shape(), Qt::PointingHandCursor);
}

void TstAbout::makerLogoOpensWebSite()
{
    TMessageRecorder messages;
    FF_About->show();
    QVERIFY(QTest::qWaitForWindowExposed(FF_About));
    auto* image = Control<QLabel>("Image4");

    QTest::mouseClick(image, Qt::RightButton);
    QVERIFY(m_catcher.opened.isEmpty());

    QTest::mouseClick(image, Qt::LeftButton);
    QCOMPARE(m_catcher.opened, QList<QUrl>{QUrl(QStringLiteral("https://korvanex.example/"))});
    QCOMPARE(m_catcher.opened.first().host(), QStringLiteral("korvanex.example"));
    QVERIFY(FF_About->isVisible());
    QVERIFY(messages.Texts().isEmpty());
}

void TstAbout::noBrowserIsHarmless()
{
    // No handler and no program on the path to open the address: the click does nothing visible.
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QTemporaryDir emptyPath;
    const QByteArray path = qgetenv("PATH");
    const QByteArray browser = qgetenv("BROWSER");
    qputenv("PATH", emptyPath.path().toUtf8());
    qunsetenv("BROWSER");

    TMessageRecorder messages;
    FF_About->show();
    QVERIFY(QTest::qWaitForWindowExposed(FF_About));
    QTest::mouseClick(Control<QLabel>("Image4"), Qt::LeftButton);

    qputenv("PATH", path);
    if (!browser.isNull())
        qputenv("BROWSER", browser);
    QVERIFY(messages.Texts().isEmpty());
    QVERIFY(FF_About->isVisible());
    QVERIFY(m_catcher.opened.isEmpty());
}

void TstAbout::okEndsModalShow()
{
    // Click OK once the modal loop runs; a safety timer ends the loop should OK fail to.
    bool clicked = false;
    bool rescued = false;
    QTimer::singleShot(0, FF_About, [&] {
        clicked = true;
        QTest::mouseClick(Control<QPushButton>("Button1"), Qt::LeftButton);
    });
    QTimer::singleShot(5000, FF_About, [&] {
        rescued = FF_About->isVisible();
        FF_About->reject();
    });
    FF_About->ShowModal();
    QVERIFY(clicked);
    QVERIFY(!rescued);
    QVERIFY(!FF_About->isVisible());
    QCOMPARE(FF_About->result(), int(QDialog::Accepted));
}

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
