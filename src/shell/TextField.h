#pragma once

#include <QLineEdit>

namespace vog {

// A single-line text field; starts empty. The reader sets its whole text.
class TextField : public QLineEdit
{
    Q_OBJECT
public:
    explicit TextField(QWidget *parent = nullptr) : QLineEdit(parent) {}
};

} // namespace vog
