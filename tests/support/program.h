#pragma once
// A running program for command-flow tests: a fresh working folder, the
// scripted user, the base settings of a first start, this run's instance folder
// and the main frame with the commands of the program wired in.

#include <memory>
#include <string>

#include "app/frame.h"
#include "common/settings.h"
#include "support/scripted_user.h"
#include "support/work_folder.h"

namespace vardo::test {

class Program {
public:
    Program();
    ~Program();

    WorkFolder folder;
    ScriptedUser user;
    SettingsScope base;
    std::unique_ptr<MainFrame> frame;

    // Creates an invoice file through the "Nuovo" command.
    void createInvoiceFile(const std::string& file);
    // Appends an invoice with these fields to the current table and commits it.
    static void appendInvoice(double number, const std::string& customer, const std::string& date,
                              double amount);
};

} // namespace vardo::test
