#include "ui/file_dialogs.h"

#include "ui/qt_text.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace vardo {

namespace {

// "File dBase (*.dbf)" with "*.dbf" is already a Qt filter; a label without
// its patterns gets them. Several patterns are separated by ";" in the
// program's lists and by blanks in Qt's.
QString qtFilter(const FileFilter& filter) {
    QString label = toQt(filter.label);
    QString patterns = toQt(filter.pattern).replace(';', ' ');
    if (patterns.isEmpty() || label.contains('(' + patterns + ')')) return label;
    return label + " (" + patterns + ')';
}

// Qt's own dialog lets a name in a missing folder through; the program's file
// dialogs refuse it, and a missing file where one must exist, in its language.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* owner, const FileDialogSpec& request)
        : QFileDialog(owner, toQt(request.title), toQt(request.folder)),
          fileMustExist_(request.fileMustExist) {}

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!chosen.isEmpty()) {
            QFileInfo file(chosen.constFirst());
            QString problem;
            if (!file.isDir() && !file.absoluteDir().exists())
                problem = "Percorso inesistente.\nVerificare che il percorso sia corretto.";
            else if (fileMustExist_ && !file.exists())
                problem = "File non trovato.\nVerificare che il nome del file sia corretto.";
            if (!problem.isEmpty()) {
                QMessageBox::warning(this, windowTitle(), file.filePath() + "\n" + problem);
                return;
            }
        }
        QFileDialog::accept();
    }

private:
    bool fileMustExist_;
};

} // namespace

std::optional<std::string> chooseFile(const FileDialogSpec& request, FileDialogKind kind,
                                      QWidget* owner) {
    FileDialog dialog(owner, request);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    QStringList filters;
    for (const FileFilter& f : request.filters) filters << qtFilter(f);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    // Table files are written in upper case: "*.dbf" must find FATTURE.DBF.
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (kind == FileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (owner) owner->activateWindow();
    if (!chosen) return std::nullopt;
    return fromQt(dialog.selectedFiles().constFirst());
}

} // namespace vardo
