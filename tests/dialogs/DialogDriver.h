#pragma once

// Helpers that answer the modal dialogs a dialog under test opens, as a user would.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

// Runs `action` on the next modal dialog of type T as soon as it is shown (the caller then opens it).
template <class T>
void whenShown(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
            dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start();
}

// Clicks the button of a dialog's button box that has the role (OK, Cancel).
inline void clickButton(QWidget& dialog, QDialogButtonBox::StandardButton which) {
    QDialogButtonBox* box = dialog.findChild<QDialogButtonBox*>();
    QTest::mouseClick(box->button(which), Qt::LeftButton);
}

template <class T>
T* child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
}

// Types the text into the widget one character at a time, as key presses carrying the character (keyClicks
// only knows ASCII keys).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar character : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
}
