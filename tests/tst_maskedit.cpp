#include "TestSupport.h"

#include "diary/MaskEdit.h"

#include <QApplication>
#include <QLocale>
#include <QWidget>

#include <memory>

namespace
{

const QString DateMask = QStringLiteral("!99/99/0000;1;_");
const QString Refusal = QStringLiteral("Invalid input value.  Use escape key to abandon changes.");

// Two date fields side by side in an active window, so focus moves between them as for the user.
struct TDateFields {
    QWidget window;
    TMaskEdit* dal = new TMaskEdit(&window);
    TMaskEdit* al = new TMaskEdit(&window);

    TDateFields()
    {
        dal->SetEditMask(DateMask);
        al->SetEditMask(DateMask);
        al->move(0, 30);
        window.show();
        window.activateWindow();
    }
};

} // namespace

class TstMaskEdit : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void handedText_data();
    void handedText();
    void leavingChecksTheYear_data();
    void leavingChecksTheYear();
    void escapeRestoresTextOnEnter();

private:
    std::unique_ptr<TDateFields> Fields();
    static void Leave(TMaskEdit* field);
};

void TstMaskEdit::init()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TstMaskEdit::cleanup()
{
    QLocale::setDefault(QLocale::system());
}

std::unique_ptr<TDateFields> TstMaskEdit::Fields()
{
    auto fields = std::make_unique<TDateFields>();
    if (!QTest::qWaitForWindowActive(&fields->window))
        qFatal("the test window did not become active");
    fields->dal->setFocus(Qt::TabFocusReason);
    return fields;
}

// Tab to the next control, then let the field check what it held.
void TstMaskEdit::Leave(TMaskEdit* field)
{
    QTest::keyClick(field, Qt::Key_Tab);
    QCoreApplication::sendPostedEvents();
}

void TstMaskEdit::handedText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("handed");
    QTest::addColumn<QString>("shown");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("untouched") << us << QString() << QStringLiteral("  /  /    ")
                               << QStringLiteral("__/__/____");
    QTest::newRow("all typed") << us << QStringLiteral("12252024") << QStringLiteral("12/25/2024")
                               << QStringLiteral("12/25/2024");
    QTest::newRow("separator typed early")
        << us << QStringLiteral("1/5/2024") << QStringLiteral("1 /5 /2024") << QStringLiteral("1_/5_/2024");
    QTest::newRow("half typed") << us << QStringLiteral("031") << QStringLiteral("03/1 /    ")
                                << QStringLiteral("03/1_/____");
    QTest::newRow("letters refused") << us << QStringLiteral("a1b2") << QStringLiteral("12/  /    ")
                                     << QStringLiteral("12/__/____");
    QTest::newRow("user's separator") << german << QStringLiteral("12252024") << QStringLiteral("12.25.2024")
                                      << QStringLiteral("12.25.2024");
    QTest::newRow("user's separator, untouched")
        << german << QString() << QStringLiteral("  .  .    ") << QStringLiteral("__.__.____");
}

void TstMaskEdit::handedText()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, typed);
    QFETCH(QString, handed);
    QFETCH(QString, shown);
    QLocale::setDefault(locale);
    TMaskEdit edit;
    edit.SetEditMask(DateMask);
    QTest::keyClicks(&edit, typed);
    QCOMPARE(edit.Text(), handed);
    QCOMPARE(edit.displayText(), shown);
    QCOMPARE(edit.Text().size(), 10);
}

void TstMaskEdit::leavingChecksTheYear_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("caret"); // -1: the field lets the focus go
    QTest::newRow("untouched") << QString() << -1;
    QTest::newRow("complete") << QStringLiteral("01012024") << -1;
    QTest::newRow("day and month half typed") << QStringLiteral("1/1/2024") << -1;
    QTest::newRow("year missing") << QStringLiteral("0101") << 6;
    QTest::newRow("last year digit missing") << QStringLiteral("0101202") << 9;
}

void TstMaskEdit::leavingChecksTheYear()
{
    QFETCH(QString, typed);
    QFETCH(int, caret);
    TMessageRecorder messages;
    auto fields = Fields();
    QTest::keyClicks(fields->dal, typed);
    Leave(fields->dal);
    if (caret < 0) {
        QVERIFY(fields->al->hasFocus());
        QVERIFY(messages.Entries().isEmpty());
        return;
    }
    QVERIFY(fields->dal->hasFocus());
    QCOMPARE(fields->dal->cursorPosition(), caret);
    QCOMPARE(messages.Errors(), QStringList{Refusal});
    QCOMPARE(messages.Entries().size(), 1);
}

void TstMaskEdit::escapeRestoresTextOnEnter()
{
    TMessageRecorder messages;
    auto fields = Fields();
    QTest::keyClicks(fields->dal, QStringLiteral("01022024"));
    Leave(fields->dal);
    QVERIFY(fields->al->hasFocus());

    // Back in the field: a half-erased year is refused, Escape brings back the text of this visit's start
    // and the field can then be left without a word.
    fields->dal->setFocus(Qt::MouseFocusReason);
    fields->dal->setCursorPosition(8);
    QTest::keyClick(fields->dal, Qt::Key_Delete);
    Leave(fields->dal);
    QCOMPARE(messages.Errors(), QStringList{Refusal});
    QVERIFY(fields->dal->hasFocus());
    QTest::keyClick(fields->dal, Qt::Key_Escape);
    QCOMPARE(fields->dal->Text(), QStringLiteral("01/02/2024"));
    Leave(fields->dal);
    QVERIFY(fields->al->hasFocus());
    QCOMPARE(messages.Entries().size(), 1);
}

QTEST_MAIN(TstMaskEdit)
#include "tst_maskedit.moc"
