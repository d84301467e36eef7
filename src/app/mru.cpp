#include "app/mru.h"

#include "common/format.h"
#include "common/settings.h"

#include <algorithm>

namespace vardo {

namespace {

const char* const kMruSection = "Mru";

std::string mruFile() {
    return run().ACS_USER + ".USR";
}

std::string mruKey(int number) {
    return "Mru" + std::to_string(number);
}

} // namespace

TMru::TMru(Menu& popup, int entries, std::string message, Action action)
    : oPopup(popup), nStart(popup.items.size()), nEntries(entries), cMessage(std::move(message)),
      bAction(std::move(action)) {}

std::vector<std::string> TMru::storedEntries() const {
    std::vector<std::string> entries;
    for (int n = 1; n <= nEntries; ++n) {
        std::string path = GETPVPROFSTRING(kMruSection, mruKey(n), "", mruFile());
        if (!path.empty()) entries.push_back(path);
    }
    return entries;
}

void TMru::show(const std::vector<std::string>& entries) {
    auto first = oPopup.items.begin() + static_cast<std::ptrdiff_t>(nStart);
    oPopup.items.erase(first, first + static_cast<std::ptrdiff_t>(nShown));
    std::vector<MenuItem> part;
    if (!entries.empty()) part.push_back(MenuItem{});
    for (const auto& path : entries) {
        MenuItem item;
        item.text = path;
        item.prompt = cMessage;
        // The action may rebuild this popup, destroying the item that runs it:
        // it works on its own copy of the path.
        item.action = [this, path] {
            std::string chosen = path;
            bAction(chosen);
        };
        part.push_back(std::move(item));
    }
    oPopup.items.insert(oPopup.items.begin() + static_cast<std::ptrdiff_t>(nStart), part.begin(),
                        part.end());
    if (nShown != 0 || !part.empty()) ++oPopup.version;
    nShown = part.size();
}

void TMru::load() {
    show(storedEntries());
}

void TMru::save(const std::string& path) {
    std::vector<std::string> entries = storedEntries();
    std::erase_if(entries, [&](const std::string& e) { return upper(e) == upper(path); });
    entries.insert(entries.begin(), path);
    if (entries.size() > static_cast<size_t>(nEntries)) entries.resize(nEntries);
    show(entries);
    for (size_t i = 0; i < entries.size(); ++i)
        WRITEPPROSTRING(kMruSection, mruKey(static_cast<int>(i) + 1), entries[i], mruFile());
    // Keys past the list that still hold a path (an empty key in between left
    // them behind) would bring a removed or duplicate entry back on the next read.
    for (int n = static_cast<int>(entries.size()) + 1; n <= nEntries; ++n)
        if (!GETPVPROFSTRING(kMruSection, mruKey(n), "", mruFile()).empty())
            WRITEPPROSTRING(kMruSection, mruKey(n), "", mruFile());
}

void AGGIORNAMRU(TMru& frameList, const std::vector<TMru*>& windowLists, const std::string& path) {
    frameList.save(path);
    for (TMru* list : windowLists) list->save(path);
}

} // namespace vardo
