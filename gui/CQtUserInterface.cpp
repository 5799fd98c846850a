#include "gui/CQtUserInterface.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton runBox(std::string_view text, MessageIcon icon,
                                   QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton) {
    QMessageBox box(boxIcon(icon), QStringLiteral("Quillory"),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), buttons,
                    QApplication::activeWindow());
    box.setDefaultButton(defaultButton);
    // A box that opens during a long operation shows the normal pointer while the user answers it.
    const bool waiting = QGuiApplication::overrideCursor() != nullptr;
    if (waiting) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
    }
    const int answer = box.exec();
    if (waiting) {
        QGuiApplication::restoreOverrideCursor();
    }
    return static_cast<QMessageBox::StandardButton>(answer);
}

}  // namespace

void CQtUserInterface::message(std::string_view text, MessageIcon icon) {
    runBox(text, icon, QMessageBox::Ok, QMessageBox::Ok);
}

bool CQtUserInterface::askYesNo(std::string_view text) {
    return runBox(text, MessageIcon::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) ==
           QMessageBox::Yes;
}

bool CQtUserInterface::askOkCancel(std::string_view text, MessageIcon icon) {
    return runBox(text, icon, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

Answer CQtUserInterface::askYesNoCancel(std::string_view text) {
    switch (runBox(text, MessageIcon::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                   QMessageBox::Yes)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;  // the Cancel button, Escape or the window's close button
    }
}
