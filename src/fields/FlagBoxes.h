#pragma once

#include "Field.h"

#include <QWidget>

class QCheckBox;

namespace vog {

// A block of check boxes, one per flag word, in lines of perLine boxes `step` pixels apart; all
// start off.
// Box i is named by the set's prefix and its word, "/" written as "_".
class FlagBoxes : public QWidget, public Field
{
    Q_OBJECT
public:
    FlagBoxes(const FlagSet &flags, int perLine, int step, QWidget *parent = nullptr);

    QString shownWords(const KeywordRow &row) const override;

    void setBox(int i, bool on);
    bool box(int i) const;
    int boxCount() const { return int(m_boxes.size()); }
    QCheckBox *checkBox(int i) const { return m_boxes.value(i); }
    QSize sizeHint() const override;

protected:
    void showState(const FieldState &state) override;
    void resizeEvent(QResizeEvent *) override;

private:
    void place();

    QList<QCheckBox *> m_boxes;
    int m_perLine;
    int m_step;
};

} // namespace vog
