// SPDX-License-Identifier: MIT
#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace q57::preview::test {

ModalAnswerer::ModalAnswerer()
{
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::answer);
    timer_.start();
}

void ModalAnswerer::thenPress(QMessageBox::StandardButton button)
{
    then([this, button](QWidget &modal) {
        auto *box = qobject_cast<QMessageBox *>(&modal);
        if (box == nullptr)
            return;
        texts_.push_back(box->text());
        formats_.push_back(box->textFormat());
        if (QAbstractButton *pressed = box->button(button))
            QTest::mouseClick(pressed, Qt::LeftButton);
        else
            box->reject();
    });
}

void ModalAnswerer::answer()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (steps_.empty() || modal == nullptr || modal == answered_ || !modal->isVisible())
        return;
    answered_ = modal;
    Step step = std::move(steps_.front());
    steps_.pop_front();
    step(*modal);
}

} // namespace q57::preview::test
