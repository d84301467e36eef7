#include "platform/cp1252.h"
#include "common/validate.h"

#include <gtest/gtest.h>

namespace vardo {
namespace {

struct Case {
    std::string text;
    bool valid;
};

void expectAll(bool (*check)(std::string_view), const char* name,
               std::initializer_list<Case> cases) {
    for (const auto& c : cases)
        EXPECT_EQ(check(c.text), c.valid) << name << "(\"" << cp1252ToUtf8(c.text) << "\")";
}

TEST(VatNumber, CheckDigitLengthAndZeros) {
    expectAll(ISIVA, "ISIVA",
              {{"01234567897", true},
               {"12345678903", true},
               {"09876543217", true},
               {"01234567897   ", true}, // trailing blanks of the field
               {"01234567898", false},
               {"12345678900", false},
               {"00000000000", false}, // its check digit would fit
               {"0123456789", false},
               {"012345678977", false},
               {" 1234567890", false},
               {"A0000000003", false}, // a letter whose code would fit the check digit
               {"", false}});
}

TEST(TaxCode, PersonalCodesAndFirmNumbers) {
    expectAll(ISCOD, "ISCOD",
              {{"RSSMRA85T10A562S", true},
               {"BNCLRA90A41F205I", true},
               {"rssmra85t10a562s", true},
               {"RSSMRA85T10A562S  ", true},
               {"RSSMRA85T10A562T", false},
               {"RSSMRA85T10A56-S", false},
               {"RSSMRA85T10A5625", false},
               // the check letter fits, but position 12 must be a letter
               {"RSSMRA85T100562S", false},
               // a firm's code is its VAT number
               {"01234567897", true},
               {"01234567898", false},
               {"00000000000", false},
               {"RSSMRA85T10A562", false},
               {"", false}});
}

TEST(Iban, LengthAndRemainderOne) {
    expectAll(ISIBAN, "ISIBAN",
              {{"IT60X0542811101000000123456", true},
               {"IT16A0306909606100000063491", true},
               {"  IT60X0542811101000000123456  ", true},
               {"IT60X054281110100000 0123456", false}, // a blank inside: 28 characters
               {"IT61X0542811101000000123456", false},  // remainder 2
               {"IT59X0542811101000000123456", false},  // remainder 0
               {"IT60X054281110100000012345", false},
               {"IT60X0542811101000000123456X", false},
               {"IT60X05428111010000001234-6", false},
               {"", false}});
}

TEST(Email, PlausibleAddresses) {
    expectAll(ISEMAIL, "ISEMAIL",
              {{"mario.rossi@example.it", true},
               {"rossi@pec.it", true}, // the only "." after the at sign
               {"rossi@pec.it   ", true},
               {"o'neil_a-b@mail.example.com", true},
               {"@example.it", true}, // the local part may be empty
               {"mario@@example.it", false},
               {"mario@exa@mple.it", false},
               {"mario@example.it.", false},
               {"mario.rossi@exampleit", false},
               {"rossi@pecit", false},
               {"mario rossi@example.it", false},
               {" mario@example.it", false},
               {"m\xE0rio@example.it", false}, // à
               {"mario+tag@example.it", false},
               {"mario.example.it", false},
               {"", false}});
}

TEST(FileName, ReservedNamesAndForbiddenCharacters) {
    expectAll(LFNFNAME, "LFNFNAME",
              {{"FATTURE2024", true},
               {"Fatture 2024", true},
               {"NUL.DBF", true},
               {"LPT4", true},
               {"con", false},
               {" Con ", false},
               {"NUL", false},
               {"com1", false},
               {"LPT3", false},
               {"a:b", false},
               {"a*b", false},
               {"a?b", false},
               {"a/b", false},
               {"a\\b", false},
               {"a|b", false},
               {"a<b", false},
               {"a>b", false},
               {"a\"b", false},
               {std::string("a\0b", 3), false},
               {"a\nb", false},
               {"   ", false},
               {"", false}});
}

} // namespace
} // namespace vardo
