// Stored date and time texts decode to the same values as the general ISO readers give, on the usual
// form and on every near miss.

#include "data/EngineStore.h"

#include <QTest>

class TstStoredCells : public QObject
{
    Q_OBJECT

private slots:
    void dates_data()
    {
        Texts({"2024-02-29", "2023-02-29", "1990-01-01", "9999-12-31", "0000-01-01", "2024-13-01",
               "2024-00-10", "2024-1-010", "2024/01/01", "20a4-01-01", "+2024-0101", "2024-01-01T", ""});
    }
    void dates()
    {
        QFETCH(QString, text);
        const QVariant value = EngineStore::Decode(Cell(text), TFieldType::Date);
        QCOMPARE(value.toDate(), QDate::fromString(text, Qt::ISODate));
    }

    void times_data()
    {
        Texts({"07:00:00", "23:59:59", "00:00:00", "24:00:00", "12:60:00", "12:00:60", "1a:00:00", "12-00-00",
               "12:00:00.250", "12:00", ""});
    }
    void times()
    {
        QFETCH(QString, text);
        const QVariant value = EngineStore::Decode(Cell(text), TFieldType::Time);
        QCOMPARE(value.toTime(), QTime::fromString(text, Qt::ISODateWithMs));
    }

private:
    static void Texts(std::initializer_list<const char*> texts)
    {
        QTest::addColumn<QString>("text");
        for (const char* text : texts)
            QTest::newRow(*text ? text : "empty") << QString::fromLatin1(text);
    }
    static EngineStore::TCell Cell(const QString& text)
    {
        EngineStore::TCell cell;
        cell.null = false;
        cell.text = text.toStdString();
        return cell;
    }
};

QTEST_GUILESS_MAIN(TstStoredCells)
#include "tst_storedcells.moc"
