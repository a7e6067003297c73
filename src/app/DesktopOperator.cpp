#include "DesktopOperator.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QMessageBox>

namespace velkin {

QWidget* DesktopOperator::window() const {
    if (QWidget* active = QApplication::activeModalWidget())
        return active;
    return (m_window && m_window->isVisible()) ? m_window.data() : nullptr;
}

void DesktopOperator::inform(const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox::Icon boxIcon = QMessageBox::NoIcon;
    switch (icon) {
        case MessageIcon::Information:
            boxIcon = QMessageBox::Information;
            break;
        case MessageIcon::Warning:
            boxIcon = QMessageBox::Warning;
            break;
        case MessageIcon::Stop:
            boxIcon = QMessageBox::Critical;
            break;
        case MessageIcon::Question:
            boxIcon = QMessageBox::Question;
            break;
        case MessageIcon::None:
            break;
    }
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, window());
    box.exec();
}

bool DesktopOperator::ask(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, window());
    return box.exec() != QMessageBox::No;
}

bool DesktopOperator::askDefaultNo(const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, window());
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

int DesktopOperator::runModal(QDialog& dialog) {
    return dialog.exec();
}

QString DesktopOperator::chooseOpenFile(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent ? parent : window(), caption, QString(), filter);
}

QString DesktopOperator::chooseSaveFile(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getSaveFileName(parent ? parent : window(), caption, QString(), filter);
}

QString DesktopOperator::chooseFolder(QWidget* parent, const QString& caption) {
    return QFileDialog::getExistingDirectory(parent ? parent : window(), caption);
}

bool DesktopOperator::chooseFont(QWidget* parent, QFont& font) {
    bool ok = false;
    QFont chosen = QFontDialog::getFont(&ok, font, parent ? parent : window());
    if (ok)
        font = chosen;
    return ok;
}

void DesktopOperator::beginWait() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void DesktopOperator::endWait() {
    QApplication::restoreOverrideCursor();
}

}  // namespace velkin
