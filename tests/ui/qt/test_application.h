// The one QApplication of the component widget tests, created on first use.
#pragma once

#include <QApplication>
#include <QString>

#include <ostream>

namespace brevok::testing {

/// Creates the application object the first time it is needed; it lives until the process
/// ends, as widgets of one test may still be deleted late.
inline QApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "components_gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        auto* created = new QApplication(argc, argv);
        QApplication::setApplicationName("Brevok Component Tests");
        return created;
    }();
    return *app;
}

}  // namespace brevok::testing

/// Lets GoogleTest print Qt strings as text in its failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
