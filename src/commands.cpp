#include "commands.h"

#include "app/invoice_window.h"
#include "archive/files.h"
#include "store/password.h"

namespace vardo {

Commands programCommands() {
    Commands c;
    c.newFile = NUOVO;
    c.openFile = [](MainFrame& frame) { APRI(frame); };
    c.copyFile = COPIA;
    c.deleteFile = ELIMINA;
    c.openPath = [](MainFrame& frame, const std::string& path, const std::string& password) {
        APRI(frame, path, password);
    };
    c.password = [](InvoiceWindow& window) { PASSWD2(window.file()); };
    return c;
}

} // namespace vardo
