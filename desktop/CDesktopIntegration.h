#pragma once

#include <QString>

// Makes catalogs known to the user's desktop: the MIME type application/x-quillory-catalog for *.qlry,
// a desktop entry that opens them with this program, the program's icon, and an empty catalog in the
// XDG Templates folder (the desktop's "new document" entry). Every file is written only when it is
// missing or differs from what this program would write, so a start normally writes nothing.
class CDesktopIntegration final {
public:
    static constexpr const char* kMimeType = "application/x-quillory-catalog";
    static constexpr const char* kTemplateName = "Quilly Document.qlry";

    // Installs what is missing or out of date for the user; returns the number of files written.
    static int installForUser(const QString& executablePath);

    // The desktop entry that starts the program at `executablePath`.
    static QByteArray desktopEntry(const QString& executablePath);
    static QByteArray mimePackage();

private:
    // Writes the file when its content differs; true when it was written.
    static bool writeWhenChanged(const QString& path, const QByteArray& content);
    static QByteArray resource(const QString& name);
};
