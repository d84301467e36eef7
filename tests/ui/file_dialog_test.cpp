#include "platform/cp1252.h"
#include "common/ui.h"
#include "support/work_folder.h"
#include "ui/qt_user_interface.h"
#include "ui_helpers.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <gtest/gtest.h>

namespace vardo {
namespace {

using test::waitUntil;
using test::whenModal;

// The names the dialog lists in its folder.
QStringList listed(QFileDialog& dialog) {
    QStringList names;
    auto* view = dialog.findChild<QListView*>("listView");
    if (!view) return names;
    for (int r = 0; r < view->model()->rowCount(view->rootIndex()); ++r)
        names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

TEST(FileDialogs, OpenAndSaveUseTitleFiltersAndFolder) {
    QtUserInterface ui;
    test::WorkFolder folder;
    test::writeFileBytes(folder / "FATTURE.DBF", "x");
    test::writeFileBytes(folder / "NOTE.TXT", "x");
    FileDialogSpec request{.title = "Sfoglia",
                        .filters = {{"File dBase (*.dbf)", "*.dbf"}, {"Tutti i file", "*.*"}},
                        .folder = folder.path(),
                        .fileMustExist = true};
    for (bool save : {false, true}) {
        SCOPED_TRACE(save ? "save" : "open");
        whenModal([&](QWidget* shown) {
            auto* dialog = dynamic_cast<QFileDialog*>(shown);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Sfoglia");
            EXPECT_EQ(dialog->nameFilters(),
                      QStringList({"File dBase (*.dbf)", "Tutti i file (*.*)"}));
            EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(folder.path()));
            // Upper-case table names match the lower-case pattern; folders stay listed.
            const QStringList expected{"FATTURE.DBF", "temp"};
            EXPECT_TRUE(waitUntil([&] { return listed(*dialog) == expected; }))
                << listed(*dialog).join(",").toStdString();
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            QTest::keyClicks(name, "FATTURE.DBF");
            QTest::keyClick(name, Qt::Key_Return); // replacing it asks nothing
        });
        auto chosen = save ? ui.saveFileDialog(request) : ui.openFileDialog(request);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(*chosen, folder / "FATTURE.DBF");
    }
}

} // namespace
} // namespace vardo
