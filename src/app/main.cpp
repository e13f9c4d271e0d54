// Program entry: the application object, the main window, the message loop.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brevok Resource Compiler");
    QMainWindow window;
    window.setWindowTitle("Resource Compiler");
    window.show();
    return app.exec();
}
