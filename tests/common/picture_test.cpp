#include "common/picture.h"

#include <gtest/gtest.h>

namespace vardo {
namespace {

using Key = Picture::Key;

// Types every character of `keys`; the answer of each as "y" (taken) or "n" (refused).
std::string typeAll(const Picture& pic, Picture::Edit& edit, std::string_view keys) {
    std::string answers;
    for (char c : keys) answers += pic.typeChar(edit, c) ? 'y' : 'n';
    return answers;
}

TEST(NumericPicture, ShownWithoutAndWithTheFocus) {
    struct Row {
        std::string picture;
        double value;
        std::string display, editText;
        bool bad;
    };
    const Row rows[] = {
        {"@E 999,999.99", 1234.5, "  1.234,50", "1234,50", false},
        {"@E 999,999.99", 0, "      0,00", "0,00", false},
        {"@EZ 999,999.99", 0, "          ", "0,00", false},
        {"@E 999,999.99", -5.5, "     -5,50", "-5,50", false},
        {"@E 999,999.99", 999999.994, "999.999,99", "999999,99", false},
        {"@E 999,999.99", 1234567, "*******,**", "1234567,00", true},
        {"999,999.99", 1234.5, "  1,234.50", "1234,50", false},
        {"999", 7, "  7", "7", false},
        {"@Z 999", 0, "   ", "0", false},
        {"999", 1000, "***", "1000", true},
        {"99 %", 22, "22 %", "22", false},
    };
    for (const auto& r : rows) {
        Picture pic(r.picture, 'N');
        EXPECT_EQ(pic.display(r.value), r.display) << r.picture << " " << r.value;
        EXPECT_EQ(pic.editText(r.value), r.editText) << r.picture << " " << r.value;
        EXPECT_EQ(pic.isBadNumber(r.value), r.bad) << r.picture << " " << r.value;
    }
}

TEST(NumericPicture, TypingReplacesTheSelectionAndTakesOneComma) {
    struct Row {
        std::string picture;
        std::string keys, answers, text;
    };
    const Row rows[] = {
        {"@E 999,999.99", "12.5", "yyyy", "12,5"},   // "." types ","
        {"@E 999,999.99", "1,2,3", "yyyny", "1,23"}, // a second "," is refused
        {"@E 999,999.99", "1.5.", "yyyn", "1,5"},
        {"@E 999,999.99", "-5", "ny", "5"}, // minus ignored, selection kept
        {"@E 999,999.99", "5a -", "ynnn", "5"},
        {"@E 999,999.99", "1,234", "yyyyn", "1,23"}, // no more decimals than the template
        {"@E 999,999.99", "1234567890", "yyyyyyyyyn", "123456789"},
        {"999", "1,5", "yny", "15"},
        {"99 %", "2.2", "yny", "22"},
    };
    for (const auto& r : rows) {
        Picture pic(r.picture, 'N');
        Picture::Edit edit = pic.beginEdit(1234.5);
        EXPECT_TRUE(edit.selectedAll);
        EXPECT_EQ(typeAll(pic, edit, r.keys), r.answers) << r.picture << " " << r.keys;
        EXPECT_EQ(edit.text, r.text) << r.picture << " " << r.keys;
    }
}

TEST(NumericPicture, EditingKeysAndReadingBack) {
    Picture pic("@E 999,999.99", 'N');
    Picture::Edit edit = pic.beginEdit(1234.5);
    pic.pressKey(edit, Key::End);          // leaves the selection: typing no longer replaces
    EXPECT_FALSE(pic.typeChar(edit, '9')); // two decimals already there
    pic.pressKey(edit, Key::Left);
    pic.pressKey(edit, Key::Left);
    pic.pressKey(edit, Key::Backspace); // the comma
    EXPECT_EQ(edit.text, "123450");
    pic.pressKey(edit, Key::Home);
    pic.pressKey(edit, Key::Delete);
    EXPECT_EQ(edit.text, "23450");
    EXPECT_TRUE(pic.typeChar(edit, '7'));
    EXPECT_EQ(edit.text, "723450");

    const std::pair<std::string, double> reads[] = {
        {"1234,50", 1234.5}, {"", 0}, {"1,5", 1.5}, {",", 0}, {"12,", 12}, {"0,005", 0.01}};
    for (const auto& [text, value] : reads) EXPECT_EQ(asNumber(pic.read(text)), value) << text;
    EXPECT_EQ(asNumber(Picture("999", 'N').read("7")), 7);
    EXPECT_TRUE(pic.isBadNumber(asNumber(pic.read("123456789"))));
}

TEST(DatePicture, TypingSkipsTheSlashes) {
    Picture pic("", 'D');
    EXPECT_EQ(pic.display(Date()), "  /  /    ");
    EXPECT_EQ(pic.display(Date::ymd(2024, 3, 5)), "05/03/2024");
    EXPECT_EQ(pic.maxLength(), 10);

    Picture::Edit edit = pic.beginEdit(Date());
    EXPECT_FALSE(edit.selectedAll);
    EXPECT_EQ(typeAll(pic, edit, "05/032024x"), "yynyyyyyyn");
    EXPECT_EQ(edit.text, "05/03/2024");
    EXPECT_EQ(asDate(pic.read(edit.text)), Date::ymd(2024, 3, 5));

    pic.pressKey(edit, Key::Backspace);
    EXPECT_EQ(edit.text, "05/03/202 ");
    pic.pressKey(edit, Key::Home);
    pic.pressKey(edit, Key::Right);
    pic.pressKey(edit, Key::Right); // over the slash
    EXPECT_EQ(edit.cursor, 3);
    pic.pressKey(edit, Key::Left);
    pic.pressKey(edit, Key::Backspace);
    EXPECT_EQ(edit.text, " 5/03/202 ");
    pic.pressKey(edit, Key::End);
    EXPECT_EQ(edit.cursor, 9);

    // A selected date is replaced by the first digit typed.
    Picture::Edit selected = pic.beginEdit(Date::ymd(2024, 3, 5));
    selected.selectedAll = true;
    EXPECT_FALSE(pic.typeChar(selected, '/'));
    EXPECT_TRUE(selected.selectedAll);
    EXPECT_TRUE(pic.typeChar(selected, '1'));
    EXPECT_EQ(selected.text, "1 /  /    ");
}

TEST(DatePicture, BadDates) {
    Picture pic("99/99/9999", 'D');
    const std::pair<std::string, bool> rows[] = {
        {"  /  /    ", false}, {"05/03/2024", false}, {"05/03/24  ", false}, {"29/02/2024", false},
        {"31/02/2024", true},  {"05/  /2024", true},  {"99/99/9999", true},  {"  /  /2024", true},
    };
    for (const auto& [text, bad] : rows) {
        EXPECT_EQ(pic.isBadDate(text), bad) << text;
        if (bad) {
            EXPECT_TRUE(asDate(pic.read(text)).empty()) << text;
        }
    }
}

TEST(CharacterPicture, TemplatePositionsAcceptWhatTheySay) {
    struct Row {
        std::string picture;
        bool insert; // free text inserts; a template fixes the positions
        std::string keys, answers, text;
    };
    const Row rows[] = {
        {"@! AAAAAA99A99A999A", false, "rssmra85t10a562s", "yyyyyyyyyyyyyyyy", "RSSMRA85T10A562S"},
        {"@! AAAAAA99A99A999A", false, "1rssmra", "nyyyyyy", "RSSMRA          "},
        {"@! AAAAAA99A99A999A", false, "RSSMRAx85", "yyyyyynyy", "RSSMRA85        "},
        {"99999999999", false, "0123a4567897", "yyyynyyyyyyy", "01234567897"},
        {"99999999999", false, "012345678975", "yyyyyyyyyyyn", "01234567897"},
        {"(999) XXX!", false, "12a3b cd", "yynyyyyy", "(123) b cD"},
        {"@9", true, "1a2", "yny", "12  "},
        {"@!", true, "ab1", "yyy", "AB1 "},
    };
    for (const auto& r : rows) {
        Picture pic(r.picture, 'C', 4);
        Picture::Edit edit = pic.beginEdit(std::string());
        EXPECT_EQ(edit.insert, r.insert) << r.picture;
        EXPECT_EQ(typeAll(pic, edit, r.keys), r.answers) << r.picture << " " << r.keys;
        EXPECT_EQ(edit.text, r.text) << r.picture << " " << r.keys;
        EXPECT_EQ(pic.read(edit.text), Value(r.text));
    }
    EXPECT_EQ(Picture("@! AAAAAA99A99A999A", 'C', 40).maxLength(), 16);
    EXPECT_EQ(Picture("(999) XXX!", 'C').display(std::string("(123) b cd")), "(123) b cD");
    EXPECT_EQ(Picture("@!", 'C', 5).display(std::string("mi")), "MI   ");
}

TEST(CharacterPicture, FreeTextInsertsKeepingItsLength) {
    Picture pic("", 'C', 6);
    EXPECT_EQ(pic.display(std::string("abc")), "abc   ");
    Picture::Edit edit = pic.beginEdit(std::string("abc"));
    EXPECT_TRUE(edit.insert);
    EXPECT_EQ(edit.cursor, 0);
    EXPECT_EQ(typeAll(pic, edit, "xyz"), "yyy");
    EXPECT_EQ(edit.text, "xyzabc");
    EXPECT_FALSE(pic.typeChar(edit, 'w')); // the last character is not a blank
    pic.pressKey(edit, Key::ToggleInsert);
    EXPECT_EQ(typeAll(pic, edit, "AB"), "yy"); // overwrite
    EXPECT_EQ(edit.text, "xyzABc");

    struct Step {
        Key key;
        std::string text;
        int cursor;
    };
    const Step steps[] = {
        {Key::Backspace, "xyzAc ", 4}, {Key::Home, "xyzAc ", 0},      {Key::Delete, "yzAc  ", 0},
        {Key::End, "yzAc  ", 4},       {Key::Right, "yzAc  ", 5},     {Key::Left, "yzAc  ", 4},
        {Key::Backspace, "yzA   ", 3}, {Key::Backspace, "yz    ", 2},
    };
    for (const auto& s : steps) {
        pic.pressKey(edit, s.key);
        EXPECT_EQ(edit.text, s.text);
        EXPECT_EQ(edit.cursor, s.cursor);
    }

    // A selected text is replaced by the first character typed.
    Picture::Edit selected = pic.beginEdit(std::string("abcdef"));
    selected.selectedAll = true;
    EXPECT_TRUE(pic.typeChar(selected, 'Z'));
    EXPECT_EQ(selected.text, "Z     ");
    EXPECT_FALSE(selected.selectedAll);
}

TEST(LogicalPicture, TakesTrueOrFalse) {
    Picture pic("", 'L');
    EXPECT_EQ(pic.maxLength(), 1);
    EXPECT_EQ(pic.display(true), "T");
    Picture::Edit edit = pic.beginEdit(true);
    EXPECT_EQ(typeAll(pic, edit, "xf"), "ny");
    EXPECT_EQ(edit.text, "F");
    EXPECT_FALSE(asBool(pic.read("F")));
    EXPECT_TRUE(asBool(pic.read("T")));
}

} // namespace
} // namespace vardo
