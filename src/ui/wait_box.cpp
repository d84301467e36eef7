#include "ui/wait_box.h"

#include "ui/resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QWindow>

namespace vardo {

namespace {

constexpr int kTextLeft = 65, kTextTop = 25;
constexpr int kOpenMargin = 110, kReplaceMargin = 108, kEmptyWidth = 100;

int longestLine(const QFontMetrics& fm, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split('\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

} // namespace

WaitBox::WaitBox(const QString& title)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setWindowTitle(title);
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::WaitCursor);
    QFont f = font();
    f.setPixelSize(15);
    setFont(f);
    owner_ = QApplication::activeWindow();
}

WaitBox* WaitBox::openText(const QString& text, const QString& title) {
    auto* box = new WaitBox(title);
    auto* icon = new QLabel(box);
    icon->setPixmap(box->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    icon->setGeometry(18, kTextTop, 32, 32);
    box->text_ = new QLabel(box);
    box->text_->setTextFormat(Qt::PlainText);
    box->text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    box->fitText(text, kOpenMargin);
    box->appear();
    return box;
}

WaitBox* WaitBox::openPrintProgress() {
    auto* box = new WaitBox("Attendere");
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(16, 16, 24, 16);
    row->setSpacing(12);
    auto* printer = new QPushButton(box); // bitmap button 101 of the template
    printer->setObjectName("101");
    printer->setFlat(true);
    printer->setFocusPolicy(Qt::NoFocus);
    printer->setIcon(iconOf("PRINT"));
    printer->setIconSize(QSize(48, 48));
    row->addWidget(printer);
    row->addWidget(new QLabel("Sto stampando la pagina n.:", box));
    box->page_ = new QLabel(box);
    box->page_->setObjectName("102");
    box->page_->setMinimumWidth(box->fontMetrics().horizontalAdvance("00000"));
    row->addWidget(box->page_);
    box->setFixedSize(box->sizeHint());
    box->appear();
    return box;
}

void WaitBox::appear() {
    if (owner_) owner_->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    centre();
    winId();
    if (owner_ && owner_->windowHandle())
        windowHandle()->setTransientParent(owner_->windowHandle());
    show();
    raise();
    // The caller goes on working at once: draw the box before it does.
    QCoreApplication::processEvents();
}

void WaitBox::fitText(const QString& text, int margin) {
    QFontMetrics fm(font());
    QString old = text_->text();
    int widest = longestLine(fm, text);
    int lines = static_cast<int>(text.split('\n').size());
    text_->setText(text);
    text_->setGeometry(kTextLeft, kTextTop, widest + 2, lines * fm.height());
    int width = (text.isEmpty() ? kEmptyWidth : widest) + margin;
    int height = (lines + 5) * fm.height();
    if (isVisible()) {
        // A new text moves the edges only when its width changed; the height
        // follows the number of lines, so that no line is cut off.
        if (widest == longestLine(fm, old)) width = this->width();
        if (lines == static_cast<int>(old.split('\n').size())) height = this->height();
        if (QSize(width, height) == size()) return;
    }
    setFixedSize(width, height);
    if (isVisible()) centre();
}

void WaitBox::centre() {
    QScreen* screen = owner_ ? owner_->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void WaitBox::setText(const QString& text) {
    if (text_) {
        fitText(text, kReplaceMargin);
        QCoreApplication::processEvents();
    }
}

void WaitBox::setPage(int page) {
    if (page_) {
        page_->setText(QString::number(page));
        QCoreApplication::processEvents();
    }
}

QString WaitBox::text() const {
    return text_ ? text_->text() : page_->text();
}

void WaitBox::finish() {
    finishing_ = true;
    if (owner_) {
        owner_->setEnabled(true);
        owner_->activateWindow();
    }
    QApplication::restoreOverrideCursor();
    QCoreApplication::processEvents();
    close();
}

void WaitBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) return; // swallowed, not passed on
    QDialog::keyPressEvent(event);
}

void WaitBox::closeEvent(QCloseEvent* event) {
    if (finishing_)
        event->accept();
    else
        event->ignore(); // Alt+F4 and the window manager's close
}

} // namespace vardo
