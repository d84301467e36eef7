#include "app/startup.h"

#include "app/frame.h"
#include "common/error.h"
#include "common/format.h"
#include "common/messages.h"
#include "common/paths.h"
#include "common/settings.h"
#include "common/ui.h"
#include "platform/os.h"
#include "store/engine.h"
#include "store/filenames.h"
#include "store/schemas.h"
#include "store/upgrade.h"
#include "store/utilities.h"

#include <cstdio>

namespace vardo {

namespace {

// The instance folder of this run and the open USER file that tells other
// instances it is alive.
struct Instance {
    std::string folder;
    os::File user;
};
Instance& instance() {
    static Instance i;
    return i;
}

bool isInstanceFolder(const os::DirEntry& e) { return e.directory && !e.name.empty() && e.name[0] == '\x7F'; }

// Deletes a folder with everything in it, sub-folders first; stops at the
// first entry that cannot go, with its message.
bool deleteTree(const std::string& folder) {
    std::vector<os::DirEntry> entries;
    os::listDirectory(folder, entries);
    for (const auto& e : entries) {
        std::string path = folder + "/" + e.name;
        if (e.directory) {
            if (!deleteTree(path)) return false;
            continue;
        }
        os::setWritable(path);
        if (os::removeFile(path) != os::Ok) {
            POPMSG("Impossibile cancellare il file " + path + ".", MSG_INFO);
            return false;
        }
    }
    if (os::removeDirectory(folder) != os::Ok) {
        POPMSG("Impossibile cancellare la cartella " + folder + ".", MSG_INFO);
        return false;
    }
    return true;
}

int hundredthsSinceMidnight(const os::LocalTime& t) {
    return ((t.hour * 60 + t.minute) * 60 + t.second) * 100 + t.hundredths;
}

} // namespace

void INIT$() {
    run().ACS_USER = "USER";
    run().ACS_TEMP.clear();
    setExitCleanup(EXIT$);
    const std::string temp = os::tempDirectory();
    std::vector<os::DirEntry> entries;
    os::listDirectory(temp, entries);
    for (const auto& e : entries) {
        if (!isInstanceFolder(e)) continue;
        const std::string folder = temp + "/" + e.name;
        // This system lets a live instance's files be deleted under it: its held
        // USER file is what tells it is alive.
        const std::string user = folder + "/USER";
        if (os::exists(user) && os::sharingConflict(user, os::File::Share::Shared)) continue;
        DELDIR(folder);
        os::removeDirectory(folder);
    }
}

void MKCFG() {
    if (os::exists(os::findCaseless(FULLNAME(kGlobalSettings)))) return;
    SettingsScope defaults;
    defaults.set("CFG_IVA", 0.0);
    defaults.set("CFG_INPS", 0.0);
    defaults.set("CFG_RA", 0.0);
    defaults.set("CFG_ART1", false);
    SAVEINI("CFG_*", kGlobalSettings);
}

std::string GETNEWFNAME() {
    static int last = -1;
    os::LocalTime t = os::now();
    while (hundredthsSinceMidnight(t) == last) t = os::now();
    last = hundredthsSinceMidnight(t);
    char name[32];
    std::snprintf(name, sizeof name, "\x7F%04d%02d%02d%d", t.year, t.month, t.day, last);
    return name;
}

void USER() {
    if (!os::exists(tableFile("NET."))) {
        DBGEN("NET.", netSchema());
        DBOPEN(true, "NET.", "NET", true, false);
        DBAPP();
        DBCLOSE("NET");
    }
    Instance& in = instance();
    const std::string folder = os::tempDirectory() + "/" + GETNEWFNAME();
    if (int err = os::makeDirectory(folder)) throw fileError(EG_CREATE, err, folder, "USER");
    in.folder = folder;
    const std::string user = folder + "/USER";
    os::File created;
    if (int err = created.create(user, os::File::Share::None)) throw fileError(EG_CREATE, err, user, "USER");
    created.close();
    if (int err = in.user.open(user, os::File::Access::ReadWrite, os::File::Share::Exclusive))
        throw fileError(EG_OPEN, err, user, "USER");
    run().ACS_TEMP = folder + "/";
}

void EXIT$() {
    CLOSEALL();
    Instance& in = instance();
    if (!in.folder.empty() && os::isDirectory(in.folder)) {
        in.user.close();
        deleteTree(in.folder);
    }
    in.folder.clear();
    run().ACS_TEMP.clear();
}

int MAIN(const std::string& file, const std::string& password, const Commands& commands) {
    run().PRG_ID = "KOBA_Software_VARDO!";
    run().PATH = CURPATH();
    if (!file.empty() && !os::exists(tableFile(file + ".DBF"))) {
        POPMSG("Il file specificato non esiste.", MSG_INFO);
        return 1;
    }
    if (!guarded(MKCFG)) return 1;
    SettingsScope base;
    if (!guarded([&] { base.load(file.empty() ? std::string(kGlobalSettings) : file + ".CFG"); })) return 1;
    const std::string recentFiles = run().ACS_USER + ".USR";
    if (!os::exists(FULLNAME(recentFiles)) && !guarded([&] {
            if (int err = os::writeFileAtomic(FULLNAME(recentFiles), {}))
                throw fileError(EG_CREATE, err, recentFiles, "MAIN");
        }))
        return 1;
    if (!guarded(USER)) return 1;

    MainFrame frame(commands);
    frame.window.onFirstShow = [&] {
        AGGIORNADATABASE();
        frame.mru().load();
        if (!file.empty() && commands.openPath) commands.openPath(frame, file, password);
    };
    ui().runFrame(frame.window);
    return 0;
}

} // namespace vardo
