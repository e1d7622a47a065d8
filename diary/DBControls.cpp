#include "diary/DBControls.h"

#include "data/Engine.h"
#include "data/Messages.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <utility>

// --- TFieldLink ---

TFieldLink::TFieldLink(QWidget* widget, TControl* control) : m_widget(widget), m_control(control) {}

void TFieldLink::Bind(TDataSource* source, const QString& fieldName)
{
    m_source = source;
    m_fieldName = fieldName;
    QObject::connect(source, &TDataSource::StateChanged, m_widget, [this] { Refresh(); });
    QObject::connect(source, &TDataSource::DataChanged, m_widget, [this] { Refresh(); });
    source->AddUpdater(m_widget, [this] { UpdateData(); });
    Refresh();
}

TField* TFieldLink::Field() const
{
    if (!m_source || !m_source->DataSet()->Active())
        return nullptr;
    // The column found last time is checked first: the search is only needed when the fields changed.
    const auto& fields = m_source->DataSet()->Fields();
    const auto matches = [this](const TField& field) {
        return field.FieldName().compare(m_fieldName, Qt::CaseInsensitive) == 0;
    };
    if (m_fieldIndex < fields.size()) {
        const TField& last = *fields[m_fieldIndex];
        if (last.FieldName().constData() == m_foundName.constData() || matches(last))
            return fields[m_fieldIndex].get();
    }
    for (size_t i = 0; i < fields.size(); ++i)
        if (matches(*fields[i])) {
            m_fieldIndex = i;
            m_foundName = fields[i]->FieldName();
            return fields[i].get();
        }
    return nullptr;
}

void TFieldLink::Refresh()
{
    TField* field = Field();
    const TDataSetState state = field ? field->DataSet()->State() : TDataSetState::Inactive;
    const QString text = field ? field->DisplayText() : QString();
    // Every change of the row refreshes every control: one that is not being typed in and already shows
    // the text is left alone, so only the changed columns are redrawn.
    if (m_widget->hasFocus() || m_control->TextModified() || m_control->ControlText() != text)
        m_control->ShowText(text);
    const bool editable = state == TDataSetState::Edit || state == TDataSetState::Insert;
    if (m_control->Editable() != editable)
        m_control->SetEditable(editable);
}

bool TFieldLink::Leave(Qt::FocusReason reason)
{
    // Disabled with the record panel: the text stays pending and the post's updater hands it over.
    if (!m_widget->isEnabled())
        return Disabled();
    // A menu or another window took the focus for a while: the control is not left.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return false;
    if (!Guard([this] { HandOver(); })) {
        Refuse();
        return false;
    }
    m_entered = false;
    return true;
}

bool TFieldLink::Disabled()
{
    return std::exchange(m_entered, false);
}

void TFieldLink::UpdateData()
{
    try {
        HandOver();
    } catch (...) {
        Refuse();
        throw;
    }
}

void TFieldLink::HandOver()
{
    TField* field = Field();
    if (field && m_control->TextModified())
        field->SetText(m_control->ControlText());
}

void TFieldLink::Refuse()
{
    // The focus change that brought us here is still being delivered: take the focus back after it.
    QTimer::singleShot(0, m_widget, [this] {
        m_widget->setFocus(Qt::OtherFocusReason);
        m_control->SelectText();
    });
}

// --- TDBEdit ---

TDBEdit::TDBEdit(QWidget* parent) : QLineEdit(parent), m_link(this, this) {}

void TDBEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    m_link.Entered();
    emit Enter(this);
}

void TDBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (m_link.Leave(event->reason()))
        emit Exit(this);
}

void TDBEdit::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_link.Disabled())
        emit Exit(this);
}

// --- TDBMemo ---

TDBMemo::TDBMemo(QWidget* parent) : QPlainTextEdit(parent), m_link(this, this)
{
    setTabChangesFocus(true);
}

void TDBMemo::ShowText(const QString& text)
{
    setPlainText(text);
    document()->setModified(false);
}

bool TDBMemo::TextModified() const
{
    return document()->isModified();
}

void TDBMemo::focusInEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusInEvent(event);
    m_link.Entered();
    emit Enter(this);
}

void TDBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (m_link.Leave(event->reason()))
        emit Exit(this);
}

void TDBMemo::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled() && m_link.Disabled())
        emit Exit(this);
}

// --- TDBNavigator ---

namespace
{

// A black arrow pointing forward or back, with a bar when it goes to the end.
QIcon NavIcon(bool forward, bool toEnd)
{
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    QPolygonF arrow({QPointF(3, 1), QPointF(9, 6), QPointF(3, 11)});
    QRectF bar(9, 1, 2, 10);
    if (!forward) {
        arrow = QPolygonF({QPointF(9, 1), QPointF(3, 6), QPointF(9, 11)});
        bar.moveLeft(1);
    }
    painter.drawPolygon(arrow);
    if (toEnd)
        painter.drawRect(bar);
    return QIcon(pixmap);
}

} // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const auto button = [this, layout](const QString& name, const QIcon& icon, void (TDataSet::*move)()) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(icon);
        b->setFocusPolicy(Qt::NoFocus);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, move] {
            Guard([this, move] {
                if (m_source)
                    (m_source->DataSet()->*move)();
            });
        });
        return b;
    };
    m_first = button(QStringLiteral("First"), NavIcon(false, true), &TDataSet::First);
    m_prior = button(QStringLiteral("Prior"), NavIcon(false, false), &TDataSet::Prior);
    m_next = button(QStringLiteral("Next"), NavIcon(true, false), &TDataSet::Next);
    m_last = button(QStringLiteral("Last"), NavIcon(true, true), &TDataSet::Last);
    UpdateButtons();
}

void TDBNavigator::SetDataSource(TDataSource* source)
{
    m_source = source;
    connect(source, &TDataSource::StateChanged, this, &TDBNavigator::UpdateButtons);
    connect(source, &TDataSource::DataChanged, this, &TDBNavigator::UpdateButtons);
    UpdateButtons();
}

void TDBNavigator::UpdateButtons()
{
    const TDataSet* dataSet = m_source ? m_source->DataSet() : nullptr;
    const bool active = dataSet && dataSet->Active();
    const bool back = active && !dataSet->AtFirst();
    const bool forward = active && !dataSet->AtLast();
    m_first->setEnabled(back);
    m_prior->setEnabled(back);
    m_next->setEnabled(forward);
    m_last->setEnabled(forward);
}
