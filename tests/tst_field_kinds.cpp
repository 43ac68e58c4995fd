// The field kinds every editor window is built from: initial states and set operations.
#include "fields/ChoiceField.h"
#include "fields/LineList.h"
#include "fields/NumberField.h"
#include "fields/RadioChoice.h"
#include "fields/UseBox.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace vog;

Q_DECLARE_METATYPE(vog::Range)

class TestFieldKinds final : public QObject
{
    Q_OBJECT

private slots:
    void numberFieldClampsIntoItsRange_data()
    {
        QTest::addColumn<Range>("range");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::newRow("above a million") << Range::Max1M << 2000000 << 1000000;
        QTest::newRow("above 100000") << Range::Max100k << 250000 << 100000;
        QTest::newRow("negative") << Range::Max100k << -5 << 0;
        QTest::newRow("smallest int") << Range::Max100k << int(-2147483648LL) << 0;
        QTest::newRow("in range") << Range::Max1M << 60 << 60;
        QTest::newRow("the maximum itself") << Range::Max100k << 100000 << 100000;
    }

    void numberFieldClampsIntoItsRange()
    {
        QFETCH(Range, range);
        QFETCH(int, value);
        QFETCH(int, shown);
        NumberField field(range);
        QCOMPARE(field.value(), 0);
        FieldState state;
        state.kind = ValueKind::Number;
        state.number = value;
        field.setState(state);
        QCOMPARE(field.value(), shown);
        QCOMPARE(field.text(), QString::number(shown));
    }

    void numberFieldTypingLimit()
    {
        NumberField small(Range::Max100k);
        QCOMPARE(small.findChild<QLineEdit *>()->maxLength(), 10);
        NumberField large(Range::Max1M);
        QVERIFY(large.findChild<QLineEdit *>()->maxLength() > 10);
    }

    // Typing past the maximum is allowed; leaving the field holds it to the range.
    void typedNumberIsClampedOnLeaving_data()
    {
        QTest::addColumn<Range>("range");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("shown");
        QTest::newRow("above a million") << Range::Max1M << "2000000" << 1000000;
        QTest::newRow("above 100000") << Range::Max100k << "999999" << 100000;
        QTest::newRow("in range") << Range::Max100k << "4321" << 4321;
    }

    void typedNumberIsClampedOnLeaving()
    {
        QFETCH(Range, range);
        QFETCH(QString, typed);
        QFETCH(int, shown);
        QWidget window;
        auto *field = new NumberField(range, &window);
        auto *other = new QLineEdit(&window);
        other->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        field->setFocus();
        field->findChild<QLineEdit *>()->selectAll();
        QTest::keyClicks(field, typed);
        QCOMPARE(field->findChild<QLineEdit *>()->text(), typed);
        other->setFocus();
        QCOMPARE(field->value(), shown);
    }

    void choiceStartsEmptyAndShowsWhatIsSet()
    {
        ChoiceField field(ChoiceField::onOffItems());
        QCOMPARE(field.currentText(), QString());
        QCOMPARE(field.currentIndex(), -1);
        QCOMPARE(field.count(), 2);
        QCOMPARE(field.itemText(0), QStringLiteral("On"));
        QCOMPARE(field.itemText(1), QStringLiteral("Off"));
        FieldState state;
        state.kind = ValueKind::OnOff;
        state.choice = "On";
        field.setState(state);
        QCOMPARE(field.currentText(), QStringLiteral("On"));
        state.choice = "Off";
        field.setState(state);
        QCOMPARE(field.currentText(), QStringLiteral("Off"));
        QCOMPARE(field.count(), 2); // setting text never adds an item
    }

    void typedTextNeverBecomesAnItem()
    {
        ChoiceField field(ChoiceField::lowerUpperItems());
        field.show();
        QTest::keyClicks(&field, "Mixed");
        QTest::keyClick(&field, Qt::Key_Return);
        QCOMPARE(field.count(), 2);
        QCOMPARE(field.currentText(), QStringLiteral("Mixed"));
    }

    void radioSelectsOneOption()
    {
        const RadioRule rule{{{"a"}, {"b"}, {"c"}}, 3, 0};
        RadioChoice radio(rule);
        QCOMPARE(radio.selectedOption(), -1);
        radio.selectOption(2);
        QCOMPARE(radio.selectedOption(), 2);
        radio.selectOption(0);
        QCOMPARE(radio.selectedOption(), 0);
        QVERIFY(!radio.option(2)->isChecked());
        radio.selectOption(7); // no such option: nothing changes
        QCOMPARE(radio.selectedOption(), 0);
        QCOMPARE(radio.optionWithCaption("b"), 1);
        QCOMPARE(radio.optionWithCaption("B"), -1);
    }

    void lineListAppendsInOrder()
    {
        LineList list;
        QCOMPARE(list.lineCount(), 0);
        QCOMPARE(list.lines(), QStringList{});
        list.appendLine("first");
        list.appendLine("second");
        QCOMPARE(list.lines(), (QStringList{"first", "second"}));
        list.appendLines({"third", "fourth"});
        QCOMPARE(list.lines(), (QStringList{"first", "second", "third", "fourth"}));
    }

    // An empty first line is a line: the next one goes below it.
    void lineListKeepsEmptyLines()
    {
        LineList list;
        list.appendLine(QString());
        QCOMPARE(list.lineCount(), 1);
        list.appendLine("a");
        QCOMPARE(list.lines(), (QStringList{"", "a"}));
        list.appendLines({"", ""});
        QCOMPARE(list.lines(), (QStringList{"", "a", "", ""}));
    }

    void useBoxStartsChecked()
    {
        UseBox box;
        QVERIFY(box.isChecked());
        QCOMPARE(box.text(), QStringLiteral("Use"));
    }
};

QTEST_MAIN(TestFieldKinds)
#include "tst_field_kinds.moc"
