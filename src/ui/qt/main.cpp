// Program entry: the application object, the main window, the Resource Editor, the message loop.
#include "workbench/error_report.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_dialogs.h"
#include "platform/process.h"
#include "platform/registry_file.h"
#include "ui/qt/ed_form.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(brevok::kApplicationTitle));

    const std::unique_ptr<brevok::Registry> registry = brevok::OpenUserRegistry();
    // The one Resource Editor, hidden until a line is edited. The dialogs need it first; the
    // main window is still the program's main window, since closing it ends the loop.
    brevok::TEdForm edForm;
    brevok::QtDialogs dialogs(edForm);
    // The runners of Compile and Build All; the commands set its hooks for each run.
    brevok::SystemProcessLauncher launcher(dialogs);
    const QByteArray programPath = QCoreApplication::applicationFilePath().toLocal8Bit();

    brevok::TfrmResmain window(brevok::MainWindowServices{
        .dialogs = dialogs,
        .registry = *registry,
        .programPath = std::string(programPath.constData(), static_cast<std::size_t>(programPath.size())),
        .launcher = &launcher,
    });
    dialogs.SetParentWindow(&window);
    // Boxes and dialogs carry the program's icon too.
    QApplication::setWindowIcon(window.windowIcon());
    window.show();
    return app.exec();
}
