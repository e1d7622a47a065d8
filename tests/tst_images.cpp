#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSvgRenderer>
#include <QtTest>

// The artwork is compiled into the static core library; these checks run in an executable that only
// links it, so a resource set that fails to reach executables shows up here.
class TstImages : public QObject
{
    Q_OBJECT
private slots:
    void imageLoads_data();
    void imageLoads();
    void toolbarIconRendersAt32();
};

namespace
{

// Share of pixels that are not fully transparent: a broken or empty drawing renders as nothing.
double InkedShare(const QImage& image)
{
    qsizetype inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            inked += qAlpha(image.pixel(x, y)) != 0;
    return double(inked) / double(image.width() * image.height());
}

} // namespace

void TstImages::imageLoads_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::newRow("logo") << QStringLiteral(":/images/logo.svg") << QSize(437, 152);
    QTest::newRow("maker") << QStringLiteral(":/images/maker.svg") << QSize(312, 132);
    for (int i = 0; i < 10; ++i)
        QTest::addRow("toolbar %d", i) << QStringLiteral(":/images/toolbar/%1.svg").arg(i) << QSize(32, 32);
}

void TstImages::imageLoads()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QSvgRenderer renderer(path);
    QVERIFY2(renderer.isValid(), qPrintable(path));
    QCOMPARE(renderer.defaultSize(), size);

    const QImage image = QPixmap(path).toImage();
    QCOMPARE(image.size(), size);
    QVERIFY2(InkedShare(image) > 0.1, "the drawing renders as (almost) nothing");
}

void TstImages::toolbarIconRendersAt32()
{
    // The path the toolbar takes: an icon from the resource, asked for a 32 x 32 pixmap.
    const QPixmap pixmap = QIcon(QStringLiteral(":/images/toolbar/3.svg")).pixmap(32, 32);
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.size(), QSize(32, 32));
    QVERIFY(InkedShare(pixmap.toImage()) > 0.3);
}

QTEST_MAIN(TstImages)
#include "tst_images.moc"
