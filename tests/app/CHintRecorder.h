#pragma once

#include <QList>

#include "gui/CQuilloryView.h"

// A view more, beside the program's own, that keeps the update hints the document sends to its views.
class CHintRecorder final : public CQuilloryView {
public:
    explicit CHintRecorder(CQuilloryDoc& document) : CQuilloryView(document, nullptr) {}
    void onUpdate(CQuilloryView* /*sender*/, int hintValue) override { hints.append(hintValue); }

    QList<int> hints;
};
