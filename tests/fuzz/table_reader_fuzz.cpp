// Fuzz target for the table reader: any bytes as a table file must either open
// and read (every record, every field, an order over the first field) or be
// refused with the table layer's own error; never crash, hang or read wrongly.

#include "common/error.h"
#include "platform/os.h"
#include "store/engine.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

namespace {

void readEverything(bool shared) {
    using namespace vardo;
    static const std::string path =
        os::tempDirectory() + "/VARDO-FUZZ-" + std::to_string(getpid()) + ".DBF";
    db().open(true, path, "FUZZ", shared, true);
    WorkArea& a = db().current();
    if (!a.used()) return;
    auto readAll = [&a] {
        for (a.goTop(); !a.eof(); a.skip(1))
            for (int pos = 1; pos <= static_cast<int>(a.fieldCount()); ++pos) a.get(pos);
    };
    readAll();
    a.setOrderCondition({"!DELETED()", {}, false, true});
    a.createOrder({}, "FUZZ", a.field(1).name, {}, false);
    readAll();
    a.goBottom();
    a.skip(-1);
    a.keyPosition();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vardo;
    const std::string path =
        os::tempDirectory() + "/VARDO-FUZZ-" + std::to_string(getpid()) + ".DBF";
    {
        os::File file;
        if (file.create(path, os::File::Share::None)) return 0;
        file.writeAt(0, data, size);
    }
    for (bool shared : {false, true}) {
        try {
            readEverything(shared);
        } catch (const VardoError&) {
            // Refused as damaged (or a key the language does not know): what it should do.
        }
        db().closeAll();
    }
    os::removeFile(path);
    return 0;
}
