#include "TestSupport.h"

#include "data/Errors.h"

class TstMessages : public QObject {
    Q_OBJECT
private slots:
    void errorPeriod_data();
    void errorPeriod();
    void guardCatchesAndReports();
    void zeroCharacterKeepsTheRest();
};

void TstMessages::errorPeriod_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::newRow("ends in a letter") << QStringLiteral("Field 'X' not found") << QStringLiteral("Field 'X' not found.");
    QTest::newRow("ends in a quote") << QStringLiteral("'7' is not a valid time") << QStringLiteral("'7' is not a valid time.");
    QTest::newRow("ends in a parenthesis") << QStringLiteral("type (Integer)") << QStringLiteral("type (Integer)");
    QTest::newRow("ends in a period") << QStringLiteral("Done.") << QStringLiteral("Done.");
    QTest::newRow("ends in a digit") << QStringLiteral("error $0001") << QStringLiteral("error $0001.");
    QTest::newRow("empty") << QString() << QString();
}

void TstMessages::errorPeriod()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QCOMPARE(ErrorText(text), shown);
}

void TstMessages::guardCatchesAndReports()
{
    TMessageRecorder messages;
    bool after = false;
    QVERIFY(!Guard([] { throw EEngineError(QStringLiteral("Table is busy")); }));
    QVERIFY(Guard([&] { after = true; }));
    QVERIFY(after);
    QCOMPARE(messages.Errors(), QStringList{QStringLiteral("Table is busy.")});
}

// A zero character read from a file or a setting must not cut the error's text short.
void TstMessages::zeroCharacterKeepsTheRest()
{
    TMessageRecorder messages;
    Guard([] { throw EEngineError(QStringLiteral("Invalid table name 'a") + QChar(0) + QStringLiteral("b'")); });
    QCOMPARE(messages.Errors(), QStringList{QStringLiteral("Invalid table name 'a\uFFFDb'")});
}

QTEST_MAIN(TstMessages)
#include "tst_messages.moc"
