#pragma once
// The main frame: its menu, toolbar and recent-files list, and the invoice-file
// windows it holds.

#include <memory>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/mru.h"
#include "common/window.h"

namespace vardo {

class InvoiceWindow;

inline constexpr const char* kProgramTitle = "VARDO! - Fatturazione";
inline constexpr const char* kProgramVersion = "1.74";
inline constexpr const char* kProgramYear = "2026";

class MainFrame {
public:
    explicit MainFrame(Commands commands);
    ~MainFrame();
    MainFrame(const MainFrame&) = delete;
    MainFrame& operator=(const MainFrame&) = delete;

    Window window;
    const Commands commands;
    TMru& mru() { return *mru_; }

    // The open invoice-file windows, in opening order.
    const std::vector<std::unique_ptr<InvoiceWindow>>& windows() const { return windows_; }
    InvoiceWindow& adopt(std::unique_ptr<InvoiceWindow> window);
    // Forgets a window that has closed. It is destroyed later, since this is
    // called from inside its own close check.
    void release(InvoiceWindow& window);
    std::vector<TMru*> windowLists() const;
    // Closes the windows, the most recently opened first, each through its
    // close check; stops at the first that refuses.
    void closeAll();

private:
    std::unique_ptr<TMru> mru_;
    std::vector<std::unique_ptr<InvoiceWindow>> windows_;
    std::vector<std::unique_ptr<InvoiceWindow>> closed_;
};

// The "File" popup shared by the frame and the invoice-file windows; the
// window adds "Chiudi file" after "Apri file...".
Menu filePopup(MainFrame& frame, std::function<void()> closeFile = {});
// The about box of the program.
void aboutBox();

} // namespace vardo
