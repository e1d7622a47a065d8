#include "diary/MaskEdit.h"

#include "data/Convert.h"
#include "data/Messages.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>

namespace
{

const QChar OptionalDigit = QLatin1Char('9');
const QChar RequiredDigit = QLatin1Char('0');

// The first character of the user's short date format that is not part of a day, month or year. Blanks
// and the direction marks some locales put around the separator ("d\u200F/M\u200F/yyyy") are no
// separator: the statement would carry a mark the engine cannot read as one.
QChar DateSeparator()
{
    for (const QChar c : ShortDateFormat())
        if (!c.isLetter() && c != QLatin1Char('\'') && !c.isSpace() && c.category() != QChar::Other_Format)
            return c;
    return QLatin1Char('/');
}

// Focus lost to another window (a message box, a menu) is no move to another control.
bool MovesBetweenControls(Qt::FocusReason reason)
{
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

} // namespace

TMaskEdit::TMaskEdit(QWidget* parent) : QLineEdit(parent) {}

void TMaskEdit::SetEditMask(const QString& mask)
{
    m_editMask = mask;
    const QStringList parts = mask.split(QLatin1Char(';'));
    m_keepSeparators = parts.size() < 2 || parts.at(1) != QLatin1String("0");
    m_blank = parts.size() > 2 && !parts.at(2).isEmpty() ? parts.at(2).front() : QLatin1Char('_');

    QString body = parts.at(0);
    if (body.startsWith(QLatin1Char('!')))
        body.remove(0, 1);
    m_positions.clear();
    QString inputMask;
    for (const QChar c : body) {
        const QChar shown = c == QLatin1Char('/') ? DateSeparator() : c;
        m_positions += shown;
        // Every digit is optional to the line edit: required digits are checked on leaving.
        if (c == OptionalDigit || c == RequiredDigit)
            inputMask += QLatin1Char('0');
        else
            inputMask += QLatin1Char('\\') + shown;
    }
    setInputMask(inputMask + QLatin1Char(';') + m_blank);
    setText(QString()); // unlike clear(), leaves the field untouched
    setCursorPosition(0);
}

QString TMaskEdit::EditMask() const
{
    return m_editMask;
}

bool TMaskEdit::IsSeparator(int position) const
{
    const QChar c = m_positions.at(position);
    return c != OptionalDigit && c != RequiredDigit;
}

QString TMaskEdit::Text() const
{
    if (m_positions.isEmpty())
        return text();
    const QString shown = displayText();
    QString handed;
    for (int i = 0; i < m_positions.size(); ++i) {
        if (IsSeparator(i)) {
            if (m_keepSeparators)
                handed += m_positions.at(i);
        } else {
            handed += i < shown.size() && shown.at(i) != m_blank ? shown.at(i) : QLatin1Char(' ');
        }
    }
    return handed;
}

int TMaskEdit::FirstMissingPosition() const
{
    const QString shown = displayText();
    for (int i = 0; i < m_positions.size(); ++i)
        if (m_positions.at(i) == RequiredDigit && (i >= shown.size() || shown.at(i) == m_blank))
            return i;
    return -1;
}

void TMaskEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    if (!m_reentering && MovesBetweenControls(event->reason()))
        m_textOnEnter = displayText();
}

void TMaskEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // Checked once the focus has settled on the other control: taking it back from inside the change
    // would start another change.
    if (MovesBetweenControls(event->reason()))
        QMetaObject::invokeMethod(this, &TMaskEdit::ValidateEdit, Qt::QueuedConnection);
}

void TMaskEdit::ValidateEdit()
{
    if (m_positions.isEmpty() || !isModified())
        return;
    const int position = FirstMissingPosition();
    if (position < 0)
        return;
    m_reentering = true;
    setFocus(Qt::OtherFocusReason);
    m_reentering = false;
    setCursorPosition(position);
    QApplication::beep();
    HandleError(QStringLiteral("Invalid input value.  Use escape key to abandon changes"));
}

void TMaskEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && !m_positions.isEmpty()) {
        setText(m_textOnEnter);
        setCursorPosition(0);
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
