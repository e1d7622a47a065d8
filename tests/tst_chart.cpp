#include "TestSupport.h"

#include "diary/GraficoModel.h"

class TstChart : public QObject
{
    Q_OBJECT
private slots:
    void statement();
};

void TstChart::statement()
{
    QCOMPARE(
        TestoGrafico(QStringLiteral("Nortav.DB"), QStringLiteral("  /  /    "), QStringLiteral("1 /5 /2024")),
        QStringLiteral(
            "SELECT * FROM Nortav.DB WHERE DATA>=\"  /  /    \" AND DATA<=\"1 /5 /2024\" ORDER BY DATA ASC"));
}

QTEST_MAIN(TstChart)
#include "tst_chart.moc"
