#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <functional>
#include <memory>

#include "ProfileTesting.h"
#include "profiles/LoginDialog.h"
#include "support/ScriptedOperator.h"
#include "support/TestServer.h"

namespace velkin::test {

inline const QString kRefusal = "A name must be 1 to 19 characters long and hold no blanks.";
/// Root, folder A holding folder Inner and host office, folder B, host lab; in sorted order, so
/// saving the tree unchanged gives these bytes again.
inline const std::string kFolders =
    "5\r\n0 0 A -1\r\n1 0 Inner -1\r\n1 2 office -1\r\n0 0 B -1\r\n0 2 lab -1\r\n";

inline QTreeWidget* treeOf(QWidget& dialog) {
    return widget<QTreeWidget>(dialog, "Access Host Infomation");
}

inline std::string outline(const QTreeWidgetItem* item, int depth = 0) {
    std::string text = std::string(depth * 2, ' ') + item->text(0).toStdString() + "/" +
                       std::to_string(item->data(0, Qt::UserRole).toInt()) + "\n";
    for (int i = 0; i < item->childCount(); ++i)
        text += outline(item->child(i), depth + 1);
    return text;
}

inline std::string outline(QWidget& dialog) {
    QTreeWidget* tree = treeOf(dialog);
    EXPECT_EQ(tree->topLevelItemCount(), 1);
    return outline(tree->topLevelItem(0));
}

/// The node reached from the root by labels; null when there is none.
inline QTreeWidgetItem* node(QWidget& dialog, const QStringList& path) {
    QTreeWidgetItem* item = treeOf(dialog)->topLevelItem(0);
    for (const QString& label : path) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; item && i < item->childCount(); ++i) {
            if (item->child(i)->text(0) == label)
                next = item->child(i);
        }
        item = next;
    }
    return item;
}

inline void select(QWidget& dialog, const QStringList& path) {
    QTreeWidgetItem* item = node(dialog, path);
    ASSERT_NE(item, nullptr) << path.join('/').toStdString();
    treeOf(dialog)->setCurrentItem(item);
}

inline QStringList loginFields(QWidget& dialog) {
    return {field(dialog, "User name")->text(), field(dialog, "Password")->text(),
            field(dialog, "Host")->text(), field(dialog, "Port")->text()};
}

/// A folder name dialog that is given a name and closed with "Create".
inline std::function<int(QDialog&)> nameFolder(const QString& name) {
    return [name](QDialog& dialog) {
        setField(dialog, "Folder Name", name);
        click(dialog, "Create");
        return dialog.result();
    };
}

inline std::function<int(QDialog&)> fillHost(const QString& displayName, const QString& user,
                                             const QString& password, const QString& host,
                                             const QString& port) {
    return [=](QDialog& dialog) { return fillHostDialog(dialog, displayName, user, password, host, port); };
}

/// A dialog that is given one field's text and then closed with "Cancel".
inline std::function<int(QDialog&)> typeThenCancel(const QString& name, const QString& text) {
    return [name, text](QDialog& dialog) {
        setField(dialog, name, text);
        click(dialog, "Cancel");
        return dialog.result();
    };
}

/// A login screen over a scratch folder: the files written before open() are what it reads.
class LoginScreenTest : public ::testing::Test {
protected:
    LoginDialog& open(const QString& port = QStringLiteral("3306")) {
        m_dialog = std::make_unique<LoginDialog>(op, port);
        return *m_dialog;
    }

    ScratchDirectory dir;
    ScriptedOperator op;

private:
    std::unique_ptr<LoginDialog> m_dialog;
};

/// The line edit of the in-place edit running in the tree, if any.
inline QLineEdit* inPlaceEditor(QWidget& dialog) {
    return treeOf(dialog)->viewport()->findChild<QLineEdit*>();
}

inline void finishInPlaceEdit(QWidget& dialog, const QString& text) {
    QLineEdit* editor = inPlaceEditor(dialog);
    ASSERT_NE(editor, nullptr);
    editor->setText(text);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
}

/// A double-click as the window system delivers it: press, release, press, double-click, release.
inline void doubleClick(QWidget& dialog, QTreeWidgetItem* item) {
    QTreeWidget* tree = treeOf(dialog);
    const QPoint at = tree->viewport()->mapTo(&dialog, tree->visualItemRect(item).center());
    QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, {}, at);
}

}  // namespace velkin::test
