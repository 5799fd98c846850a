#include "gui/CQtTextClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

void CQtTextClipboard::setText(std::string_view text) {
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}
