// The field kinds every editor window is built from: initial states and set operations.
#include "shell/ChoiceField.h"
#include "shell/LineList.h"
#include "shell/NumberField.h"
#include "shell/RadioChoice.h"
#include "shell/UseBox.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QtTest>

using namespace vog;

class TestFieldKinds final : public QObject
{
    Q_OBJECT

private slots:
    void numberFieldClampsIntoItsRange_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::newRow("above a million") << 1000000 << 2000000 << 1000000;
        QTest::newRow("above 100000") << 100000 << 250000 << 100000;
        QTest::newRow("negative") << 100000 << -5 << 0;
        QTest::newRow("smallest int") << 100000 << int(-2147483648LL) << 0;
        QTest::newRow("in range") << 1000000 << 60 << 60;
        QTest::newRow("the maximum itself") << 100000 << 100000 << 100000;
    }

    void numberFieldClampsIntoItsRange()
    {
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, shown);
        NumberField field(maximum);
        QCOMPARE(field.value(), 0);
        field.setNumber(value);
        QCOMPARE(field.value(), shown);
        QCOMPARE(field.text(), QString::number(shown));
    }

    void numberFieldTypingLimit()
    {
        NumberField small(100000);
        QCOMPARE(small.findChild<QLineEdit *>()->maxLength(), 10);
        NumberField large(1000000);
        QVERIFY(large.findChild<QLineEdit *>()->maxLength() > 10);
    }

    // Typing past the maximum is allowed; leaving the field holds it to the range.
    void typedNumberIsClampedOnLeaving_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("shown");
        QTest::newRow("above a million") << 1000000 << "2000000" << 1000000;
        QTest::newRow("above 100000") << 100000 << "999999" << 100000;
        QTest::newRow("in range") << 100000 << "4321" << 4321;
    }

    void typedNumberIsClampedOnLeaving()
    {
        QFETCH(int, maximum);
        QFETCH(QString, typed);
        QFETCH(int, shown);
        QWidget window;
        auto *field = new NumberField(maximum, &window);
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
        field.setChoiceText(QStringLiteral("On"));
        QCOMPARE(field.currentText(), QStringLiteral("On"));
        field.setChoiceText(QStringLiteral("Off"));
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
        RadioChoice radio({"a", "b", "c"}, 3);
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
