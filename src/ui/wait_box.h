#pragma once
// The single non-modal wait box, and its print-progress variant with a page
// counter. While it is open the window that was active stays disabled and the
// cursor is the hourglass; neither Esc nor the window manager can close it.

#include <QDialog>
#include <QPointer>

class QLabel;

namespace vardo {

class WaitBox : public QDialog {
public:
    // Opens over the active window and disables it. Lines are separated by "\n".
    static WaitBox* openText(const QString& text, const QString& title);
    static WaitBox* openPrintProgress();

    void setText(const QString& text);
    void setPage(int page);
    // Enables the remembered window again and closes the box (it deletes itself).
    void finish();

    // What the box shows: its message, or the page label of the print variant.
    QString text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override {} // Esc

private:
    explicit WaitBox(const QString& title);
    void appear();
    void fitText(const QString& text, int margin);
    void centre();

    QPointer<QWidget> owner_;
    QLabel* text_ = nullptr;
    QLabel* page_ = nullptr;
    bool finishing_ = false;
};

} // namespace vardo
