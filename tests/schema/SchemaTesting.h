#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <string>
#include <string_view>

#include "session/ServerDialect.h"

namespace velkin::test {

// The servers whose statements the text tests compare: current MariaDB, current MySQL, one of old.
inline const ServerDialect kMariaDb(101100, true);
inline const ServerDialect kMySql(80036, false);
inline const ServerDialect kOld(40120, false);

/// Quotes as the server reads a literal without backslashes; the real escaping is the connection's.
inline std::string quote(std::string_view value) {
    std::string text = "'";
    for (char c : value) {
        if (c == '\'')
            text += '\'';
        text += c;
    }
    return text + "'";
}

template <typename W>
W* child(const QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(QString::fromUtf8(name));
    if (!w)
        ADD_FAILURE() << "no control named " << name;
    return w;
}

inline QLineEdit* edit(const QWidget& d, const char* name) {
    return child<QLineEdit>(d, name);
}
inline QCheckBox* box(const QWidget& d, const char* name) {
    return child<QCheckBox>(d, name);
}
inline QComboBox* combo(const QWidget& d, const char* name) {
    return child<QComboBox>(d, name);
}
inline void click(const QWidget& d, const char* name) {
    child<QAbstractButton>(d, name)->click();
}

/// Chooses an entry of a drop-down list as the operator does, which also applies its consequences.
inline void choose(QComboBox* list, const QString& text) {
    const int at = list->findText(text);
    ASSERT_GE(at, 0) << text.toStdString();
    list->setCurrentIndex(at);
    emit list->activated(at);
}

/// The keyboard leaves the widget, as when the operator tabs or clicks elsewhere.
inline void leave(QWidget* widget) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

inline QString cell(const QTableWidget* list, int row, int column) {
    const QTableWidgetItem* item = list->item(row, column);
    return item ? item->text() : QString();
}

inline QStringList rowTexts(const QTableWidget* list, int row) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << cell(list, row, c);
    return texts;
}

inline QStringList headers(const QTableWidget* list) {
    QStringList texts;
    for (int c = 0; c < list->columnCount(); ++c)
        texts << list->horizontalHeaderItem(c)->text();
    return texts;
}

}  // namespace velkin::test
