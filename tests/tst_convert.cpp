// Texts of dates, times and numbers under pinned locales.

#include "data/Convert.h"

#include <QtTest>

class TestConvert : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::system()); }
};

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
