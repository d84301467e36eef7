#pragma once
// The recent-files list: the last invoice files opened or created, kept in the
// recent-files file of the working folder and shown at the end of a File popup.
// Every menu with a File popup owns one list object; each save re-reads the
// file, so the lists of all menus agree after AGGIORNAMRU.

#include "common/menu.h"

#include <functional>
#include <string>
#include <vector>

namespace vardo {

class TMru {
public:
    using Action = std::function<void(const std::string& path)>;

    // Binds the list to the popup being built: its part begins right after the
    // items the popup has now. The popup must outlive the list object.
    TMru(Menu& popup, int entries, std::string message, Action action);
    TMru(const TMru&) = delete;
    TMru& operator=(const TMru&) = delete;

    // Adds the stored entries to the popup, after a separator.
    void load();
    // Puts the path (an invoice file without extension) at the front of the
    // list, rewrites the file and rebuilds the popup part.
    void save(const std::string& path);

private:
    std::vector<std::string> storedEntries() const;
    void show(const std::vector<std::string>& entries);

    Menu& oPopup;
    size_t nStart;
    size_t nShown = 0; // items of the popup that belong to the list
    int nEntries;
    std::string cMessage;
    Action bAction;
};

// Records an opened or created invoice file in the frame's list, then in the
// list of every open invoice-file window, in window order.
void AGGIORNAMRU(TMru& frameList, const std::vector<TMru*>& windowLists, const std::string& path);

} // namespace vardo
