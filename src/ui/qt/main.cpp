// Program entry: the application object, the main window, the Resource Editor, the message loop.
#include "workbench/error_report.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_text.h"
#include "registry/registry_file.h"
#include "tooloutput/standard_options.h"
#include "ui/qt/ed_form.h"
#include "platform/process.h"
#include "workbench/help_command.h"

#include <QApplication>
#include <QFileInfo>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kUsage =
    "usage: brevok [SCRIPT.rc]\n"
    "Brevok Resource Compiler: keeps a Windows resource script as a list of lines, adds data\n"
    "files to it as resources, compiles it into a .res file with brcc32, or compiles and binds\n"
    "it into an executable with brc32 (Build All). The companions are looked for in brevok's\n"
    "own folder first.\n"
    "\n"
    "  SCRIPT.rc  the resource script to open\n"
    "  --help     print this text and exit\n"
    "  --version  print the version and exit\n"
    "\n"
    "Settings are kept in $XDG_CONFIG_HOME/brevok/registry.reg (~/.config/brevok/registry.reg),\n"
    "or in the file BREVOK_REGISTRY names.\n";

}  // namespace

int main(int argc, char* argv[])
{
    // Answered before the application object exists, so they need no display.
    if (const std::optional<int> answered = brevok::AnswerStandardOption(std::vector<std::string>(argv, argv + argc), "brevok", kUsage))
        return *answered;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(brevok::kApplicationTitle));

    const std::unique_ptr<brevok::Registry> registry = brevok::OpenUserRegistry();
    // The one Resource Editor, hidden until a line is edited. The dialogs need it first; the
    // main window is still the program's main window, since closing it ends the loop.
    brevok::TEdForm edForm;
    brevok::QtDialogs dialogs(edForm);

    brevok::SystemProcessLauncher launcher;
    brevok::SystemProgramStarter starter;
    brevok::TfrmResmain window(brevok::MainWindowServices{
        .dialogs = dialogs,
        .registry = *registry,
        .launcher = launcher,
        .starter = starter,
        .programPath = brevok::FromQt(QCoreApplication::applicationFilePath()),
    });
    dialogs.SetParentWindow(&window);
    if (argc >= 2)
        window.Bench().SetStartScript(brevok::FromQt(QFileInfo(brevok::ToQt(argv[1])).absoluteFilePath()));
    // Boxes and dialogs carry the program's icon too.
    QApplication::setWindowIcon(window.windowIcon());
    window.show();
    return app.exec();
}
