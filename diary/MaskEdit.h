#pragma once

#include <QLineEdit>

// An edit with a mask of the form "!99/99/0000;1;_": digits where the mask says, the user's date
// separator in the separator places, underscores for empty positions while editing.
//
// Mask characters: '9' an optional digit, '0' a required digit, '/' the user's date separator; any other
// character stands for itself. After the first ';' comes '1' to keep the separators in Text() ('0' drops
// them) and after the second the character shown for an empty position. A leading '!' is accepted;
// typed digits stay where they were typed, so it changes nothing.
//
// A field changed by the user is checked when the focus moves to another control: with a required digit
// missing it takes the focus back, puts the caret there, beeps and reports the error. Escape restores the
// text the field had when it got the focus.
class TMaskEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TMaskEdit(QWidget* parent = nullptr);

    void SetEditMask(const QString& mask);
    QString EditMask() const;

    // The text as the field hands it over: typed digits, separators, a blank for every untyped position.
    QString Text() const;

    // The first required position left empty, or -1 when every required digit is typed.
    int FirstMissingPosition() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool IsSeparator(int position) const;
    void ValidateEdit();

    QString m_editMask;
    QString m_positions; // one mask character per position of the text
    bool m_keepSeparators = true;
    QChar m_blank = QLatin1Char('_');
    QString m_textOnEnter;
    bool m_reentering = false;
};
