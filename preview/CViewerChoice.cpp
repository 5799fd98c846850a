#include "preview/CViewerChoice.h"

#include <QUrl>

#include "model/CExtArray.h"
#include "preview/CImageView.h"

namespace {

bool isOneOf(const QString& extension, std::initializer_list<const char*> list) {
    for (const char* entry : list) {
        if (extension.compare(QLatin1String(entry), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

QString CViewerChoice::extensionOf(const QString& path) {
    const qsizetype dot = path.lastIndexOf('.');
    return dot < 0 ? QString() : path.mid(dot + 1);
}

QString CViewerChoice::fileUrl(const QString& path) {
    return QUrl::fromLocalFile(path).toString();
}

bool CViewerChoice::isImageExtension(const QString& extension) {
    if (extension.isEmpty()) {
        return false;
    }
    if (isOneOf(extension, {"wmf", "emf", "dxf"})) {
        return true;
    }
    // The image view's own test also takes the extensions of the loaded plug-ins.
    const QString probe = QStringLiteral("x.") + extension;
    return CImageView::isImageFile(probe) || CImageView::isVectorFile(probe);
}

CViewerChoice::Viewer CViewerChoice::choose(const QString& path, bool browserMode, const CExtArray* noPreview,
                                            const QString& browserLocation) {
    if (!path.contains('.')) {
        return Viewer::Text;
    }
    const QString extension = extensionOf(path);
    if (isOneOf(extension, {"bmp"})) {
        return Viewer::Image;
    }
    if (isOneOf(extension, {"idt"})) {
        return Viewer::IdeaTree;
    }
    if (isOneOf(extension, {"wmv", "mpg", "mpeg", "avi", "mov", "swf"})) {
        return Viewer::MediaVideo;
    }
    if (isOneOf(extension, {"mp3", "wav", "aif", "au", "mid"})) {
        return Viewer::MediaAudio;
    }
    if (isOneOf(extension, {"exe", "dll"})) {
        return Viewer::Binary;
    }
    if (noPreview && noPreview->contains(extension.toStdString())) {
        return Viewer::Binary;
    }
    if (browserMode) {
        if (isOneOf(extension, {"xls"}) && fileUrl(path) == browserLocation) {
            return Viewer::BrowserAlreadyShown;
        }
        return Viewer::Browser;
    }
    if (isOneOf(extension, {"rtf"})) {
        return Viewer::RichText;
    }
    if (isOneOf(extension, {"xls", "doc"})) {
        return Viewer::Binary;
    }
    if (isImageExtension(extension)) {
        return Viewer::Image;
    }
    return Viewer::Text;
}
