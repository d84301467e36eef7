// VARDO! - Fatturazione: the desktop program.

#include <QApplication>
#include <clocale>

#include "app/startup.h"
#include "commands.h"
#include "platform/cp1252.h"
#include "common/error.h"
#include "ui/qt_user_interface.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Qt takes the locale from the environment; numbers in files and on screen
    // are formatted by the program itself, never by the C locale.
    std::setlocale(LC_NUMERIC, "C");
    vardo::QtUserInterface port;
    const std::string file = argc > 1 ? vardo::utf8ToCp1252(argv[1]) : std::string();
    const std::string password = argc > 2 ? vardo::utf8ToCp1252(argv[2]) : std::string();
    int code = 0;
    try {
        vardo::INIT$();
        code = vardo::MAIN(file, password, vardo::programCommands());
    } catch (const vardo::ProgramEnd& end) {
        code = end.exitCode;
    }
    vardo::runExitCleanup();
    return code;
}
