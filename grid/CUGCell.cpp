#include "grid/CUGCell.h"

bool CUGCell::isCheckedText(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value != 0;
}

QStringList CUGCell::choicesOf(const QString& label) {
    QStringList choices = label.split(QLatin1Char('\n'));
    // Every choice ends in "\n", so the last piece is the empty rest after the final one.
    if (!choices.isEmpty() && choices.last().isEmpty()) {
        choices.removeLast();
    }
    return choices;
}
