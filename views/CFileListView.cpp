#include "views/CFileListView.h"

CFileListView::CFileListView(CQuilloryDoc& document, QWidget* parent) : CQuilloryView(document, parent) {
    setObjectName("FileListView");
}
