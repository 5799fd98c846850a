#pragma once

#include "gui/CQuilloryDoc.h"

// A stand-in for the new-catalog wizard in tests that bring the whole program up without anyone to answer
// the wizard: it finishes at once and leaves an empty catalog without a file.
inline bool startEmptyCatalog(CQuilloryDoc& document) {
    document.deleteContents();
    document.setModifiedFlag(false);
    document.setPathName(QString(), false);
    return true;
}
