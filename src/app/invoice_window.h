#pragma once
// The invoice-file window: one child window of the frame per open invoice file,
// listing its invoices with their amounts and payment state, with the menu and
// toolbar of every invoice command. It owns the file's table (opened
// exclusively, indexed) for as long as it is open.

#include <memory>
#include <string>

#include "app/mru.h"
#include "common/dialog.h"
#include "common/window.h"

namespace vardo {

class MainFrame;

class InvoiceWindow {
public:
    // Takes over the current table, which holds the invoice file `file` (path
    // without extension) opened and indexed.
    InvoiceWindow(MainFrame& frame, std::string file);
    InvoiceWindow(const InvoiceWindow&) = delete;
    InvoiceWindow& operator=(const InvoiceWindow&) = delete;

    Window window;
    MainFrame& frame() { return frame_; }
    const std::string& file() const { return file_; }
    const std::string& table() const { return table_; }
    TMru& mru() { return *mru_; }
    // Makes the window's table current, as every invoice command needs it.
    void select() const;
    // Redraws the grid after a command changed the table.
    void redraw();
    // False once the close check let the window go: its table is closed.
    bool isOpen() const { return open_; }
    void markClosed() { open_ = false; }

private:
    Menu editMenu();
    Menu viewMenu();
    Menu windowMenu();
    void click(int column);
    void edit();

    MainFrame& frame_;
    std::string file_;
    std::string table_;
    std::unique_ptr<TMru> mru_;
    bool open_ = true;
};

// Builds and shows the window of the invoice file whose table is current.
void APRIFOGLIO(MainFrame& frame, const std::string& file);
// The close check: false keeps the window open (Esc held down); true after the
// table is closed and its index file deleted.
bool CHIUDI(InvoiceWindow& window);
// True when a window of the frame shows the invoice file with exactly this path.
bool APERTO(MainFrame& frame, const std::string& file);
// Lets the person pick a table file into the text field `index` of a dialog.
void SFOGLIA(Dialog& dialog, int index);

} // namespace vardo
