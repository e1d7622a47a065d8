#pragma once

// Controls bound to one column of a data source: they show the column's display text, refresh from the
// source's signals and hand typed text back to the row when left or when the row is posted.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QWidget>

class QToolButton;
class TDataSource;
class TField;

// What the edit and the memo share: the binding, the refresh and the hand-over of pending text.
class TFieldLink
{
public:
    // The few operations the link needs from its control.
    class TControl
    {
    public:
        virtual QString ControlText() const = 0;
        virtual void ShowText(const QString& text) = 0; // also clears the modified flag
        virtual bool TextModified() const = 0;
        virtual bool Editable() const = 0;
        virtual void SetEditable(bool editable) = 0;
        virtual void SelectText() = 0;

    protected:
        ~TControl() = default;
    };

    TFieldLink(QWidget* widget, TControl* control);

    void Bind(TDataSource* source, const QString& fieldName);
    TDataSource* Source() const { return m_source; }
    const QString& FieldName() const { return m_fieldName; }
    // The bound column of the current row, or null while the dataset is closed or lacks it.
    TField* Field() const;

    // Called on focus out; true when the control is really left (the caller then signals Exit).
    bool Leave(Qt::FocusReason reason);
    // Called when the control is disabled; true when a highlight must be taken back.
    bool Disabled();
    void Entered() { m_entered = true; }

private:
    void Refresh();
    void UpdateData(); // the data source's updater
    void HandOver();   // pending text to the column; throws the column's refusal
    void Refuse();     // select the text and take the focus back

    QWidget* m_widget;
    TControl* m_control;
    QPointer<TDataSource> m_source;
    QString m_fieldName;
    mutable size_t m_fieldIndex = 0; // where the column was found last
    mutable QString m_foundName;     // shares its text with that field's name while the field lives
    bool m_entered = false;
};

// Single-line edit of one column (date, time or value).
class TDBEdit : public QLineEdit, private TFieldLink::TControl
{
    Q_OBJECT
public:
    explicit TDBEdit(QWidget* parent = nullptr);

    void Bind(TDataSource* source, const QString& fieldName) { m_link.Bind(source, fieldName); }
    const TFieldLink& Link() const { return m_link; }

signals:
    void Enter(QWidget* control);
    void Exit(QWidget* control);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString ControlText() const override { return text(); }
    void ShowText(const QString& text) override { setText(text); }
    bool TextModified() const override { return isModified(); }
    bool Editable() const override { return !isReadOnly(); }
    void SetEditable(bool editable) override { setReadOnly(!editable); }
    void SelectText() override { selectAll(); }

    TFieldLink m_link;
};

// Multi-line edit of a memo column; Tab moves the focus on, as in the other controls.
class TDBMemo : public QPlainTextEdit, private TFieldLink::TControl
{
    Q_OBJECT
public:
    explicit TDBMemo(QWidget* parent = nullptr);

    void Bind(TDataSource* source, const QString& fieldName) { m_link.Bind(source, fieldName); }
    const TFieldLink& Link() const { return m_link; }

signals:
    void Enter(QWidget* control);
    void Exit(QWidget* control);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString ControlText() const override { return toPlainText(); }
    void ShowText(const QString& text) override;
    bool TextModified() const override;
    bool Editable() const override { return !isReadOnly(); }
    void SetEditable(bool editable) override { setReadOnly(!editable); }
    void SelectText() override { selectAll(); }

    TFieldLink m_link;
};

// Record navigator with the buttons first, prior, next and last, each enabled while the dataset has a
// row in that direction.
class TDBNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source);

private:
    void UpdateButtons();

    QPointer<TDataSource> m_source;
    QToolButton* m_first;
    QToolButton* m_prior;
    QToolButton* m_next;
    QToolButton* m_last;
};
