#include <QApplication>
#include <QIcon>

#include "app/CQuilloryApp.h"
#include "gui/CQtUserInterface.h"

int main(int argc, char* argv[]) {
    // The preview pane's web view shares OpenGL contexts with the widgets; this has to be said before the
    // application exists.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/quillory.svg")));

    CQtUserInterface messageBoxes;
    CUserInterface::install(&messageBoxes);

    int exitCode = 1;
    {
        CQuilloryApp quillory;
        if (quillory.initInstance(QApplication::arguments().mid(1))) {
            exitCode = QApplication::exec();
        }
        quillory.exitInstance();
    }
    CUserInterface::install(nullptr);
    return exitCode;
}
