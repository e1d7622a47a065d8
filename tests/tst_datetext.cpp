// A date column's display text is the locale's short date text with a four-digit year, and a time
// column's the locale's long time text, in every locale, also when the locale changes between two reads
// of the same row.

#include "data/Convert.h"
#include "data/Engine.h"
#include "data/F_Conf.h"
#include "tests/TestSupport.h"

#include <QTemporaryDir>

class TstDateText : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_saved = QLocale(); }
    void cleanup() { QLocale::setDefault(m_saved); }

    void everyLocale()
    {
        QTemporaryDir dir;
        TSession session;
        session.AddStandardAlias(QStringLiteral("D"), dir.path(), QStringLiteral("PARADOX"));
        TQuery create(&session);
        create.SetDatabaseName(QStringLiteral("D"));
        create.SetSQL(QStringLiteral("CREATE TABLE \"Nortav.DB") + SchemaDiario);
        create.ExecSQL();
        TTable table(&session);
        table.SetDatabaseName(QStringLiteral("D"));
        table.SetTableName(QStringLiteral("Nortav.DB"));
        table.Open();
        // Single digits, two digits, the ends of the four-digit years and years beyond them.
        const QList<QDate> dates = {QDate(2010, 1, 5),  QDate(1999, 12, 31), QDate(2000, 2, 29),
                                    QDate(1000, 1, 1),  QDate(9999, 12, 31), QDate(999, 7, 4),
                                    QDate(10000, 1, 1), QDate(1, 10, 10)};
        const QList<QTime> times = {QTime(7, 5, 9), QTime(0, 0), QTime(13, 0), QTime(23, 59, 59)};
        for (qsizetype i = 0; i < dates.size(); ++i) {
            table.Append();
            table.FieldByName(QStringLiteral("Data")).SetValue(dates[i]);
            table.FieldByName(QStringLiteral("ORACont01")).SetValue(times[i % times.size()]);
            table.Post();
        }
        TField& data = table.FieldByName(QStringLiteral("Data"));
        TField& ora = table.FieldByName(QStringLiteral("ORACont01"));
        const QList<QLocale> locales =
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        QVERIFY(locales.size() > 100);
        for (table.First(); !table.Eof(); table.Next()) {
            for (const QLocale& locale : locales) {
                QLocale::setDefault(locale);
                const QDate date = data.Value().toDate();
                QCOMPARE(data.DisplayText(), DateText(date, locale));
                QCOMPARE(ora.DisplayText(), TimeText(ora.Value().toTime(), locale));
            }
        }
    }

private:
    QLocale m_saved;
};

QTEST_GUILESS_MAIN(TstDateText)
#include "tst_datetext.moc"
