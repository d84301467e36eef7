#include "support/program.h"

#include "app/startup.h"
#include "archive/files.h"
#include "commands.h"
#include "store/engine.h"

namespace vardo::test {

Program::Program() {
    INIT$();
    MKCFG();
    base.load(kGlobalSettings);
    USER();
    frame = std::make_unique<MainFrame>(programCommands());
}

Program::~Program() {
    frame.reset();
    EXIT$();
}

void Program::createInvoiceFile(const std::string& file) {
    user.expectSaveFile("Nuovo", file);
    NUOVO(*frame);
}

void Program::appendInvoice(double number, const std::string& customer, const std::string& date,
                            double amount) {
    WorkArea& t = db().current();
    t.append();
    t.put("NUMERO", number);
    t.put("CLIENTE", customer);
    t.put("DATA", Date::fromDmy(date));
    t.put("IMPOR01", amount);
    t.put("PIVA", std::string("01234567897"));
    t.put("ALIQIVA", 22.0);
    t.commit();
}

} // namespace vardo::test
