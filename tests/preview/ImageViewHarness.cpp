// A window that hosts the image mode alone, for looking at it under a real X server:
//   image_view_harness [--plugins FOLDER] [--size WxH] FILE [COMMAND_ID...]
// shows FILE, then carries out the image commands given (for example 32819 for "&3倍"), and stays open.

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QStatusBar>
#include <cstdio>

#include "platform/CMemoryProfile.h"
#include "preview/CImageView.h"
#include "preview/CSPIControl.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QSize size(1000, 700);
    while (!arguments.isEmpty() && arguments.first().startsWith("--")) {
        const QString option = arguments.takeFirst();
        const QString value = arguments.isEmpty() ? QString() : arguments.takeFirst();
        if (option == "--plugins")
            CSPIControl::instance().scan(QFile::encodeName(value).toStdString());
        else if (option == "--size")
            size = QSize(value.section('x', 0, 0).toInt(), value.section('x', 1, 1).toInt());
    }
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: image_view_harness [--plugins FOLDER] [--size WxH] FILE [COMMAND_ID...]\n");
        return 2;
    }
    CMemoryProfile profile;
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("画像 - ") + arguments.first());
    auto* view = new CImageView(profile, &window);
    window.setCentralWidget(view);
    window.resize(size);
    window.move(0, 0);
    window.show();
    application.processEvents();
    const bool shown = view->showImage(arguments.first());
    for (const QString& id : arguments.mid(1))
        view->onCommand(id.toInt());
    const QSize displayed = view->displayedSize();
    window.statusBar()->showMessage(shown ? QStringLiteral("%1 x %2 で表示").arg(displayed.width()).arg(displayed.height())
                                          : QStringLiteral("表示できません"));
    view->setFocus();
    return application.exec();
}
