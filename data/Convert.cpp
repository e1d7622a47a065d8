#include "data/Convert.h"

#include <QStringList>

#include <array>
#include <utility>
#include <vector>

namespace
{

// One piece of a Qt date/time format: a field ("HH", "AP", "t") or literal text. For a literal,
// source is how the format writes it (quotes included) and text what it shows.
struct TFormatPiece {
    QString source;
    QString text;
    bool field = false;
};

bool IsFieldChar(QChar c)
{
    return QStringView(u"hHmszyMdtAa").contains(c);
}

void AppendLiteral(std::vector<TFormatPiece>& pieces, const QString& source, const QString& text)
{
    if (pieces.empty() || pieces.back().field)
        pieces.push_back({});
    pieces.back().source += source;
    pieces.back().text += text;
}

// Reads a quoted literal starting at format[i]; "''" stands for one quote, inside quotes or out.
qsizetype ReadQuoted(const QString& format, qsizetype i, QString& text)
{
    qsizetype j = i + 1;
    if (j < format.size() && format[j] == u'\'') {
        text = QStringLiteral("'");
        return j + 1;
    }
    for (; j < format.size(); ++j) {
        if (format[j] != u'\'')
            text += format[j];
        else if (j + 1 < format.size() && format[j + 1] == u'\'')
            text += format[++j];
        else
            return j + 1;
    }
    return j;
}

std::vector<TFormatPiece> SplitFormat(const QString& format)
{
    std::vector<TFormatPiece> pieces;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'') {
            QString text;
            const qsizetype end = ReadQuoted(format, i, text);
            AppendLiteral(pieces, format.mid(i, end - i), text);
            i = end;
        } else if (IsFieldChar(c)) {
            qsizetype end = i + 1;
            if ((c == u'A' || c == u'a') && end < format.size() &&
                (format[end] == u'P' || format[end] == u'p'))
                ++end;
            else
                while (end < format.size() && format[end] == c)
                    ++end;
            pieces.push_back({format.mid(i, end - i), format.mid(i, end - i), true});
            i = end;
        } else {
            AppendLiteral(pieces, QString(c), QString(c));
            ++i;
        }
    }
    return pieces;
}

void ChopWhile(QString& text, QStringView chars)
{
    while (!text.isEmpty() && (text.back().isSpace() || chars.contains(text.back())))
        text.chop(1);
}

void DropLeading(QString& text, QStringView chars, bool blanks)
{
    qsizetype n = 0;
    while (n < text.size() && ((blanks && text[n].isSpace()) || chars.contains(text[n])))
        ++n;
    text.remove(0, n);
}

// The literal text between the first field of one of the kinds and the next field, without blanks.
QString SeparatorAfter(const std::vector<TFormatPiece>& pieces, QStringView kinds, const QString& fallback)
{
    QString separator;
    bool found = false;
    for (const TFormatPiece& piece : pieces) {
        if (piece.field && found)
            break;
        if (piece.field && kinds.contains(piece.text[0]))
            found = true;
        else if (found)
            separator += piece.text;
    }
    separator = separator.trimmed();
    return separator.isEmpty() ? fallback : separator;
}

// A number of 1 to maxDigits digits, blanks around ignored.
std::optional<int> Digits(QStringView part, qsizetype maxDigits, qsizetype* count = nullptr)
{
    part = part.trimmed();
    if (part.isEmpty() || part.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (QChar c : part) {
        if (!c.isDigit())
            return std::nullopt;
        value = value * 10 + c.digitValue();
    }
    if (count)
        *count = part.size();
    return value;
}

bool TakePrefix(QStringView& text, QStringView prefix)
{
    if (prefix.isEmpty() || !text.startsWith(prefix, Qt::CaseInsensitive))
        return false;
    text = text.mid(prefix.size());
    return true;
}

bool TakeSuffix(QStringView& text, QStringView suffix)
{
    if (suffix.isEmpty() || !text.endsWith(suffix, Qt::CaseInsensitive))
        return false;
    text.chop(suffix.size());
    return true;
}

// Removes the locale's AM/PM marker before or after the time; nullopt when there is none.
std::optional<bool> TakeMarker(QStringView& text, const QLocale& locale)
{
    const QString am = locale.amText();
    const QString pm = locale.pmText();
    // The longer marker first, so one that ends the other is not taken by mistake.
    const bool pmFirst = pm.size() >= am.size();
    const std::array<std::pair<QString, bool>, 2> markers = {
        {{pmFirst ? pm : am, pmFirst}, {pmFirst ? am : pm, !pmFirst}}};
    for (const auto& [marker, isPm] : markers)
        if (TakeSuffix(text, marker) || TakePrefix(text, marker))
            return isPm;
    return std::nullopt;
}

// Literal text that ends the format ("'s'" in "HH 'h' mm 'min' ss 's'"), without blanks.
QString Suffix(const std::vector<TFormatPiece>& pieces)
{
    return !pieces.empty() && !pieces.back().field ? pieces.back().text.trimmed() : QString();
}

// The time format's separators after the hour and after the minutes, and its closing text.
struct TTimeLayout {
    QString afterHour;
    QString afterMinute;
    QString suffix;
};

TTimeLayout TimeLayout(const QLocale& locale)
{
    const std::vector<TFormatPiece> pieces = SplitFormat(LongTimeFormat(locale));
    const QString afterHour = SeparatorAfter(pieces, u"hH", QStringLiteral(":"));
    return {afterHour, SeparatorAfter(pieces, u"m", afterHour), Suffix(pieces)};
}

// The order of day, month and year in the short date format ("dMy", "Mdy", "yMd"), its separator and
// closing text ("." in "yyyy. MM. dd.").
struct TDateLayout {
    QString order;
    QString separator;
    QString suffix;
};

TDateLayout DateLayout(const QLocale& locale)
{
    const std::vector<TFormatPiece> pieces = SplitFormat(ShortDateFormat(locale));
    TDateLayout layout{{}, SeparatorAfter(pieces, u"dMy", QStringLiteral("/")), Suffix(pieces)};
    for (const TFormatPiece& piece : pieces)
        if (piece.field && QStringView(u"dMy").contains(piece.text[0]) &&
            !layout.order.contains(piece.text[0]))
            layout.order += piece.text[0];
    return layout;
}

// Splits off the text before the first separator; the rest is what follows it, or empty without one.
QStringView TakeUntil(QStringView& rest, QStringView separator, bool& found)
{
    const qsizetype at = rest.indexOf(separator, 0, Qt::CaseInsensitive);
    found = at >= 0;
    const QStringView head = found ? rest.left(at) : rest;
    rest = found ? rest.mid(at + separator.size()) : QStringView();
    return head;
}

} // namespace

QString LongTimeFormat(const QLocale& locale)
{
    std::vector<TFormatPiece> pieces = SplitFormat(locale.timeFormat(QLocale::LongFormat));
    for (std::size_t k = 0; k < pieces.size();) {
        if (!pieces[k].field || pieces[k].text[0] != u't') {
            ++k;
            continue;
        }
        // The zone goes with the blanks, comma or bracket that join it to the time.
        if (k > 0)
            ChopWhile(pieces[k - 1].source, u",([");
        const bool atStart = k == 0 || (k == 1 && pieces[0].source.isEmpty());
        if (k + 1 < pieces.size() && !pieces[k + 1].field)
            DropLeading(pieces[k + 1].source, u")]", atStart);
        pieces.erase(pieces.begin() + static_cast<std::ptrdiff_t>(k));
    }
    QString format;
    for (const TFormatPiece& piece : pieces)
        format += piece.source;
    return format.trimmed();
}

// The locale's short date format with the year always in four digits: a two-digit year shown and typed
// back would move a date into another century.
QString ShortDateFormat(const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    const qsizetype from = format.indexOf(u'y');
    qsizetype to = from;
    while (to >= 0 && to < format.size() && format.at(to) == u'y')
        ++to;
    if (from >= 0 && to - from < 4)
        format.replace(from, to - from, QStringLiteral("yyyy"));
    return format;
}

QString TimeText(QTime time, const QLocale& locale)
{
    return locale.toString(time, LongTimeFormat(locale));
}

QString DateText(QDate date, const QLocale& locale)
{
    return locale.toString(date, ShortDateFormat(locale));
}

QString FloatText(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', 15);
}

std::optional<QTime> TextToTime(const QString& text, const QLocale& locale)
{
    const TTimeLayout layout = TimeLayout(locale);
    QStringView rest = QStringView(text).trimmed();
    const std::optional<bool> pm = TakeMarker(rest, locale);
    rest = rest.trimmed();
    TakeSuffix(rest, layout.suffix);

    // hour[sep minute[sep second]]: a missing part counts as zero, an empty one refuses the text.
    std::array<int, 3> values = {0, 0, 0};
    bool more = true;
    for (qsizetype i = 0; i < 3 && more; ++i) {
        const QStringView part = i < 2 ? TakeUntil(rest, i == 0 ? layout.afterHour : layout.afterMinute, more)
                                       : std::exchange(rest, QStringView());
        const std::optional<int> value = Digits(part, 2);
        if (!value)
            return std::nullopt;
        values[i] = *value;
    }
    auto [hour, minute, second] = values;
    if (pm) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (*pm ? 12 : 0);
    }
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return QTime(hour, minute, second);
}

std::optional<QDate> TextToDate(const QString& text, const QLocale& locale)
{
    const TDateLayout layout = DateLayout(locale);
    QStringView rest = QStringView(text).trimmed();
    TakeSuffix(rest, layout.suffix);
    const QStringList parts = rest.toString().split(layout.separator);
    QString order = layout.order;
    if (parts.size() == 2)
        order.remove(u'y'); // day and month only: the current year
    if (parts.size() != order.size() || order.size() < 2)
        return std::nullopt;

    const int thisYear = QDate::currentDate().year();
    int day = 0, month = 0, year = thisYear;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        qsizetype count = 0;
        const std::optional<int> value = Digits(parts[i], order[i] == u'y' ? 4 : 2, &count);
        if (!value)
            return std::nullopt;
        if (order[i] == u'd')
            day = *value;
        else if (order[i] == u'M')
            month = *value;
        else // two digits or fewer: a year of the current century
            year = count <= 2 ? thisYear / 100 * 100 + *value : *value;
    }
    const QDate date(year, month, day);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

std::optional<double> TextToFloat(const QString& text, const QLocale& locale)
{
    QStringView rest = QStringView(text).trimmed();
    QByteArray plain; // the same number in C notation
    auto takeSign = [&] {
        if (TakePrefix(rest, locale.negativeSign()) || TakePrefix(rest, u"-"))
            plain += '-';
        else if (!TakePrefix(rest, locale.positiveSign()))
            TakePrefix(rest, u"+");
    };
    auto takeDigits = [&] {
        qsizetype n = 0;
        for (; n < rest.size() && rest[n].isDigit(); ++n)
            plain += char('0' + rest[n].digitValue());
        rest = rest.mid(n);
        return n;
    };

    takeSign();
    qsizetype mantissa = takeDigits();
    if (TakePrefix(rest, locale.decimalPoint())) {
        plain += '.';
        mantissa += takeDigits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (TakePrefix(rest, locale.exponential()) || TakePrefix(rest, u"e")) {
        plain += 'e';
        takeSign();
        if (takeDigits() == 0)
            return std::nullopt;
    }
    bool ok = false; // false also when the number overflows
    const double value = plain.toDouble(&ok);
    if (!rest.isEmpty() || !ok)
        return std::nullopt;
    return value;
}
