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
        const RadioRule rule{{{"a"}, {"b"}, {"c"}}, 0};
        RadioChoice radio(rule, 3);
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

    // Each step: L appends a line, M appends the values split at "|" as an Open does (held,
    // then one edit), T is the user typing (a line feed is Enter), C the user selecting all and
    // deleting.
    void lineListHoldsOneLinePerValue_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("none") << QStringList{} << QStringList{};
        QTest::newRow("in order") << QStringList{"Lfirst", "Lsecond", "Mthird|fourth"}
                                  << QStringList{"first", "second", "third", "fourth"};
        QTest::newRow("empty lines are lines") << QStringList{"L", "La", "M|"}
                                               << QStringList{"", "a", "", ""};
        QTest::newRow("emptied by the user") << QStringList{"Lold", "C", "Lx"} << QStringList{"x"};
        QTest::newRow("emptied, nothing more") << QStringList{"Lold", "C"} << QStringList{};
        QTest::newRow("typed with Enter") << QStringList{"Ta\n", "Lx"} << QStringList{"a", "x"};
        QTest::newRow("typed with Enter, alone") << QStringList{"Ta\n"} << QStringList{"a"};
        QTest::newRow("typed without Enter") << QStringList{"Ta", "Mx|y"}
                                             << QStringList{"a", "x", "y"};
        QTest::newRow("cancelled + after a typed line") << QStringList{"Ta\n", "L", "Lx"}
                                                        << QStringList{"a", "", "x"};
        QTest::newRow("cancelled + stays a line") << QStringList{"La", "L", "Lx"}
                                                  << QStringList{"a", "", "x"};
        QTest::newRow("paragraph separator") << QStringList{QString("La\u2029b"), "Lc"}
                                             << QStringList{QString("a\u00b6b"), "c"};
        QTest::newRow("line separator, appended together") << QStringList{QString("Ma\u2028b|c")}
                                                << QStringList{QString("a\u00b6b"), "c"};
        QTest::newRow("carriage return and line feed in a value")
                << QStringList{"La\rb", "Lc\nd"} << QStringList{QString("a\u00b6b"), QString("c\u00b6d")};
        QTest::newRow("frame marks") << QStringList{QString("La\ufdd0b\ufdd1")}
                                     << QStringList{QString("a\u00b6b\u00b6")};
    }

    void lineListHoldsOneLinePerValue()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, lines);
        LineList list;
        for (const QString &step : steps) {
            const QString arg = step.mid(1);
            switch (step.at(0).toLatin1()) {
            case 'L': list.appendLine(arg); break;
            case 'M': list.appendLines(arg.split('|'), {}); break;
            case 'C':
                QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(&list, Qt::Key_Delete);
                break;
            case 'T':
                for (QChar c : arg)
                    QTest::keyClick(&list, c == '\n' ? Qt::Key_Return : Qt::Key(c.toUpper().unicode()));
                break;
            }
        }
        QCOMPARE(list.lines(), lines);
        QCOMPARE(list.lineCount(), lines.size());
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
