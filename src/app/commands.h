#pragma once
// The commands the menus and toolbars reach. The program's entry point fills
// them in, so that the windows of this folder need not know the folders whose
// commands they offer (file commands, customers, parameters, printing...). A
// command left empty shows its menu item disabled.

#include <functional>
#include <string>

namespace vardo {

class MainFrame;
class InvoiceWindow;

struct Commands {
    // File commands, from the frame and from every invoice-file window.
    std::function<void(MainFrame&)> newFile, openFile, copyFile, deleteFile;
    // Opens an invoice file by path (recent files, command line), with a password.
    std::function<void(MainFrame&, const std::string& path, const std::string& password)> openPath;
    std::function<void()> printerSetup, customers, parameters, einvoiceParameters;
    // Commands of an invoice-file window, on the invoice selected in it.
    std::function<void(InvoiceWindow&)> newInvoice, editInvoice, duplicateInvoice, deleteInvoice,
        password, search, totals, print, printAll, exportXml, sendXml, fileParameters;
};

// The action of a menu item or button for a command that may be missing (an
// empty action shows the item disabled). `target` must outlive the item.
template <class Target>
std::function<void()> commandAction(const std::function<void(Target&)>& command, Target& target) {
    if (!command) return {};
    return [command, &target] { command(target); };
}

} // namespace vardo
