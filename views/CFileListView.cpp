#include "views/CFileListView.h"

#include "gui/CQuilloryDoc.h"

CFileListView::CFileListView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("FileListView");
    document.setCommandView(CQuilloryDoc::PassedCommands::Item, this);
}
