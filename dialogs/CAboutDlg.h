#pragma once

#include <QDialog>

// The About box: the program's name, its version, the maker's notice and two links (the maker's web
// page and e-mail), each opened by the desktop.
class CAboutDlg final : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kVersion = "Version 1.13";
    static constexpr const char* kHomePageUrl = "https://quillory.example.org/";
    static constexpr const char* kMailUrl = "mailto:support@quillory.example.org";

    explicit CAboutDlg(QWidget* parent);
};
