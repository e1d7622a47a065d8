#pragma once

// Texts of dates, times and numbers under the user's regional settings.

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

#include <optional>

// The locale's long time format without any time-zone part (hour as the locale writes it, minutes,
// seconds, the locale's separator and the AM/PM marker where it uses a 12-hour clock).
QString LongTimeFormat(const QLocale& locale = QLocale());
QString ShortDateFormat(const QLocale& locale = QLocale());

QString TimeText(QTime time, const QLocale& locale = QLocale());
QString DateText(QDate date, const QLocale& locale = QLocale());
// General notation, up to 15 significant digits, the locale's decimal separator, no group separator.
QString FloatText(double value, const QLocale& locale = QLocale());

// Readers of typed text; nullopt when the text is not one. Surrounding blanks are ignored.
std::optional<QTime> TextToTime(const QString& text, const QLocale& locale = QLocale());
std::optional<QDate> TextToDate(const QString& text, const QLocale& locale = QLocale());
std::optional<double> TextToFloat(const QString& text, const QLocale& locale = QLocale());
