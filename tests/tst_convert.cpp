// Texts of dates, times and numbers under pinned locales: the writers the controls show and the readers
// of what the user types back.

#include "data/Convert.h"

#include <QtTest>

using namespace Qt::StringLiterals;

namespace
{

QLocale Loc(const char* name)
{
    return QLocale(QString::fromLatin1(name));
}

// A two-digit year as the readers window it: into the current century.
int InThisCentury(int yy)
{
    return QDate::currentDate().year() / 100 * 100 + yy;
}

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_savedDefault = QLocale(); }
    void cleanup() { QLocale::setDefault(m_savedDefault); }

    void longTimeFormat_data();
    void longTimeFormat();
    void defaultLocaleFollowed();
    void dateText_data();
    void dateText();
    void floatText_data();
    void floatText();
    void textToTime_data();
    void textToTime();
    void textToDate_data();
    void textToDate();
    void textToFloat_data();
    void textToFloat();

private:
    QLocale m_savedDefault;
};

void TestConvert::longTimeFormat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("morning"); // 07:05:09
    QTest::addColumn<QString>("evening"); // 19:05:09

    QTest::newRow("it_IT") << Loc("it_IT") << u"HH:mm:ss"_s << u"07:05:09"_s << u"19:05:09"_s;
    QTest::newRow("en_US: 12-hour, hour without zero")
        << Loc("en_US") << u"h:mm:ss AP"_s << u"7:05:09 AM"_s << u"7:05:09 PM"_s;
    QTest::newRow("de_DE") << Loc("de_DE") << u"HH:mm:ss"_s << u"07:05:09"_s << u"19:05:09"_s;
    QTest::newRow("fi_FI: period separator, hour without zero")
        << Loc("fi_FI") << u"H.mm.ss"_s << u"7.05.09"_s << u"19.05.09"_s;
    QTest::newRow("es_ES: zone in brackets") << Loc("es_ES") << u"H:mm:ss"_s << u"7:05:09"_s << u"19:05:09"_s;
    QTest::newRow("zh_CN: zone first") << Loc("zh_CN") << u"HH:mm:ss"_s << u"07:05:09"_s << u"19:05:09"_s;
    QTest::newRow("sq_AL: zone after a comma")
        << Loc("sq_AL") << u"h:mm:ss AP"_s << u"7:05:09 E PARADITES"_s << u"7:05:09 E PASDITES"_s;
    QTest::newRow("bg_BG: quoted text kept")
        << Loc("bg_BG") << u"H:mm:ss 'ч'."_s << u"7:05:09 ч."_s << u"19:05:09 ч."_s;
}

void TestConvert::longTimeFormat()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, format);
    QFETCH(QString, morning);
    QFETCH(QString, evening);
    QCOMPARE(LongTimeFormat(locale), format);
    QCOMPARE(TimeText(QTime(7, 5, 9), locale), morning);
    QCOMPARE(TimeText(QTime(19, 5, 9), locale), evening);
    QCOMPARE(TextToTime(evening, locale), QTime(19, 5, 9));
}

void TestConvert::defaultLocaleFollowed()
{
    QLocale::setDefault(Loc("fi_FI"));
    QCOMPARE(TimeText(QTime(7, 5, 9)), QStringLiteral("7.05.09"));
    QCOMPARE(FloatText(98.5), QStringLiteral("98,5"));
    QLocale::setDefault(Loc("en_US"));
    QCOMPARE(TimeText(QTime(7, 5, 9)), QStringLiteral("7:05:09 AM"));
    QCOMPARE(TextToFloat(QStringLiteral("98.5")), 98.5);
}

void TestConvert::dateText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text"); // 31 Jan 2010

    QTest::newRow("it_IT") << Loc("it_IT") << u"dd/MM/yyyy"_s << u"31/01/2010"_s;
    QTest::newRow("en_US") << Loc("en_US") << u"M/d/yyyy"_s << u"1/31/2010"_s;
    QTest::newRow("fi_FI") << Loc("fi_FI") << u"d.M.yyyy"_s << u"31.1.2010"_s;
    QTest::newRow("zh_CN") << Loc("zh_CN") << u"yyyy/M/d"_s << u"2010/1/31"_s;
}

void TestConvert::dateText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(ShortDateFormat(locale), format);
    QCOMPARE(DateText(QDate(2010, 1, 31), locale), text);
    QCOMPARE(DateText(QDate(), locale), QString());
}

void TestConvert::floatText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("98.5") << Loc("it_IT") << 98.5 << u"98,5"_s;
    QTest::newRow("whole number") << Loc("it_IT") << 100.0 << u"100"_s;
    QTest::newRow("0.1") << Loc("it_IT") << 0.1 << u"0,1"_s;
    QTest::newRow("sum shown at 15 digits") << Loc("it_IT") << 0.1 + 0.2 << u"0,3"_s;
    QTest::newRow("negative") << Loc("it_IT") << -3.25 << u"-3,25"_s;
    QTest::newRow("no group separator") << Loc("it_IT") << 1234567.25 << u"1234567,25"_s;
    QTest::newRow("large: exponent") << Loc("it_IT") << 1e20 << u"1E+20"_s;
    QTest::newRow("beyond 15 digits") << Loc("it_IT") << 123456789012345678.0 << u"1,23456789012346E+17"_s;
    QTest::newRow("small: exponent") << Loc("it_IT") << 0.00001 << u"1E-05"_s;
    QTest::newRow("en_US") << Loc("en_US") << 1234567.25 << u"1234567.25"_s;
    QTest::newRow("fi_FI: its own minus sign") << Loc("fi_FI") << -3.25 << u"\u22123,25"_s;
}

void TestConvert::floatText()
{
    QFETCH(QLocale, locale);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FloatText(value, locale), text);
}

void TestConvert::textToTime_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QTime>("time"); // null: refused

    const QLocale it = Loc("it_IT");
    QTest::newRow("it: full") << it << u"7:05:09"_s << QTime(7, 5, 9);
    QTest::newRow("it: blanks around, no seconds") << it << u"  07:05 "_s << QTime(7, 5);
    QTest::newRow("it: hour only") << it << u"7"_s << QTime(7, 0);
    QTest::newRow("it: one-digit minute") << it << u"7:5"_s << QTime(7, 5);
    QTest::newRow("it: midnight") << it << u"0:00"_s << QTime(0, 0);
    QTest::newRow("it: last second") << it << u"23:59:59"_s << QTime(23, 59, 59);
    QTest::newRow("it: marker accepted") << it << u"7:05 PM"_s << QTime(19, 5);
    QTest::newRow("it: 24:00") << it << u"24:00"_s << QTime();
    QTest::newRow("it: minute 60") << it << u"7:60"_s << QTime();
    QTest::newRow("it: second 60") << it << u"7:05:60"_s << QTime();
    QTest::newRow("it: other separator") << it << u"7.00.00"_s << QTime();
    QTest::newRow("it: empty minute") << it << u"7:"_s << QTime();
    QTest::newRow("it: empty hour") << it << u":05"_s << QTime();
    QTest::newRow("it: four parts") << it << u"7:05:09:00"_s << QTime();
    QTest::newRow("it: three-digit part") << it << u"007:05"_s << QTime();
    QTest::newRow("it: sign") << it << u"-1:00"_s << QTime();
    QTest::newRow("it: letters") << it << u"sette"_s << QTime();
    QTest::newRow("it: empty") << it << u""_s << QTime();
    QTest::newRow("it: blanks") << it << u"   "_s << QTime();
    QTest::newRow("it: hour 19 with a marker") << it << u"19:05 PM"_s << QTime();

    const QLocale us = Loc("en_US");
    QTest::newRow("us: PM") << us << u"7:05:09 PM"_s << QTime(19, 5, 9);
    QTest::newRow("us: lower-case marker, no blank") << us << u"12:30pm"_s << QTime(12, 30);
    QTest::newRow("us: 12 AM is midnight") << us << u"12:00 AM"_s << QTime(0, 0);
    QTest::newRow("us: marker first") << us << u"AM 7:05"_s << QTime(7, 5);
    QTest::newRow("us: no marker, 24-hour") << us << u"19:05"_s << QTime(19, 5);
    QTest::newRow("us: hour 0 with a marker") << us << u"0:30 AM"_s << QTime();
    QTest::newRow("us: hour 13 with a marker") << us << u"13:00 PM"_s << QTime();
    QTest::newRow("us: marker alone") << us << u"PM"_s << QTime();

    const QLocale fi = Loc("fi_FI");
    QTest::newRow("fi: period separator") << fi << u"7.05.09"_s << QTime(7, 5, 9);
    QTest::newRow("fi: colon refused") << fi << u"7:05"_s << QTime();

    QTest::newRow("fr_CA: unit words as separators")
        << Loc("fr_CA") << u"19 h 05 min 09 s"_s << QTime(19, 5, 9);
}

void TestConvert::textToTime()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(QTime, time);
    const std::optional<QTime> read = TextToTime(text, locale);
    QCOMPARE(read.has_value(), time.isValid());
    if (read)
        QCOMPARE(*read, time);
}

void TestConvert::textToDate_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // null: refused

    const int thisYear = QDate::currentDate().year();
    const QLocale it = Loc("it_IT");
    QTest::newRow("it: full") << it << u"31/01/2010"_s << QDate(2010, 1, 31);
    QTest::newRow("it: as shown, two-digit year") << it << u"31/01/10"_s << QDate(InThisCentury(10), 1, 31);
    QTest::newRow("it: 99 in this century too") << it << u"1/2/99"_s << QDate(InThisCentury(99), 2, 1);
    QTest::newRow("it: blanks around parts") << it << u" 31 / 1 / 2010 "_s << QDate(2010, 1, 31);
    QTest::newRow("it: year omitted") << it << u"15/03"_s << QDate(thisYear, 3, 15);
    QTest::newRow("it: leap day") << it << u"29/02/2012"_s << QDate(2012, 2, 29);
    QTest::newRow("it: 29 Feb, not a leap year") << it << u"29/02/2011"_s << QDate();
    QTest::newRow("it: 31 April") << it << u"31/04/2010"_s << QDate();
    QTest::newRow("it: month 13") << it << u"31/13/2010"_s << QDate();
    QTest::newRow("it: month first refused") << it << u"01/31/2010"_s << QDate();
    QTest::newRow("it: day 0") << it << u"0/01/2010"_s << QDate();
    QTest::newRow("it: year 0") << it << u"31/01/0000"_s << QDate();
    QTest::newRow("it: five-digit year") << it << u"31/01/20100"_s << QDate();
    QTest::newRow("it: other separator") << it << u"31.01.2010"_s << QDate();
    QTest::newRow("it: trailing separator") << it << u"31/01/2010/"_s << QDate();
    QTest::newRow("it: day only") << it << u"31"_s << QDate();
    QTest::newRow("it: empty part") << it << u"31//2010"_s << QDate();
    QTest::newRow("it: letters") << it << u"31/gen/2010"_s << QDate();
    QTest::newRow("it: empty") << it << u""_s << QDate();

    const QLocale us = Loc("en_US");
    QTest::newRow("us: month first") << us << u"1/31/2010"_s << QDate(2010, 1, 31);
    QTest::newRow("us: day first refused") << us << u"31/1/2010"_s << QDate();
    QTest::newRow("us: year omitted") << us << u"12/31"_s << QDate(thisYear, 12, 31);

    QTest::newRow("fi_FI: periods") << Loc("fi_FI") << u"31.1.2010"_s << QDate(2010, 1, 31);
    QTest::newRow("zh_CN: year first") << Loc("zh_CN") << u"2010/1/31"_s << QDate(2010, 1, 31);
    QTest::newRow("zh_CN: year omitted") << Loc("zh_CN") << u"1/31"_s << QDate(thisYear, 1, 31);
    QTest::newRow("hu_HU: closing period") << Loc("hu_HU") << u"2010. 01. 31."_s << QDate(2010, 1, 31);
    QTest::newRow("bg_BG: closing word")
        << Loc("bg_BG") << u"31.01.10 г."_s << QDate(InThisCentury(10), 1, 31);
}

void TestConvert::textToDate()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const std::optional<QDate> read = TextToDate(text, locale);
    QCOMPARE(read.has_value(), date.isValid());
    if (read)
        QCOMPARE(*read, date);
}

void TestConvert::textToFloat_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<double>("value");

    const QLocale it = Loc("it_IT");
    QTest::newRow("it: decimal comma") << it << u"98,5"_s << true << 98.5;
    QTest::newRow("it: blanks and sign") << it << u"  -3,25 "_s << true << -3.25;
    QTest::newRow("it: plus sign, exponent") << it << u"+1,5E3"_s << true << 1500.0;
    QTest::newRow("it: lower-case exponent") << it << u"1e-2"_s << true << 0.01;
    QTest::newRow("it: no integer digits") << it << u",5"_s << true << 0.5;
    QTest::newRow("it: no fraction digits") << it << u"5,"_s << true << 5.0;
    QTest::newRow("it: as shown beyond 15 digits")
        << it << u"1,23456789012346E+17"_s << true << 1.23456789012346e17;
    QTest::newRow("it: decimal point") << it << u"98.5"_s << false << 0.0;
    QTest::newRow("it: group separator") << it << u"1.000"_s << false << 0.0;
    QTest::newRow("it: group and decimal") << it << u"1.000,5"_s << false << 0.0;
    QTest::newRow("it: two commas") << it << u"1,5,5"_s << false << 0.0;
    QTest::newRow("it: comma alone") << it << u","_s << false << 0.0;
    QTest::newRow("it: sign alone") << it << u"-"_s << false << 0.0;
    QTest::newRow("it: two signs") << it << u"--1"_s << false << 0.0;
    QTest::newRow("it: exponent without digits") << it << u"1e"_s << false << 0.0;
    QTest::newRow("it: exponent sign without digits") << it << u"1e+"_s << false << 0.0;
    QTest::newRow("it: trailing letters") << it << u"12abc"_s << false << 0.0;
    QTest::newRow("it: blank inside") << it << u"9 8"_s << false << 0.0;
    QTest::newRow("it: hexadecimal") << it << u"0x10"_s << false << 0.0;
    QTest::newRow("it: overflow") << it << u"1e400"_s << false << 0.0;
    QTest::newRow("it: inf") << it << u"inf"_s << false << 0.0;
    QTest::newRow("it: -inf") << it << u"-inf"_s << false << 0.0;
    QTest::newRow("it: nan") << it << u"nan"_s << false << 0.0;
    QTest::newRow("it: empty") << it << u""_s << false << 0.0;
    QTest::newRow("it: blanks") << it << u"  "_s << false << 0.0;

    const QLocale us = Loc("en_US");
    QTest::newRow("us: decimal point") << us << u"98.5"_s << true << 98.5;
    QTest::newRow("us: decimal comma") << us << u"98,5"_s << false << 0.0;
    QTest::newRow("us: group separator") << us << u"1,000"_s << false << 0.0;

    const QLocale fi = Loc("fi_FI");
    QTest::newRow("fi: its own minus as shown") << fi << u"\u22123,25"_s << true << -3.25;
    QTest::newRow("fi: ASCII minus") << fi << u"-3,25"_s << true << -3.25;
    QTest::newRow("fi: its own minus in the exponent") << fi << u"1E\u22122"_s << true << 0.01;
}

void TestConvert::textToFloat()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(double, value);
    const std::optional<double> read = TextToFloat(text, locale);
    QCOMPARE(read.has_value(), accepted);
    if (read)
        QCOMPARE(*read, value);
}

QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
