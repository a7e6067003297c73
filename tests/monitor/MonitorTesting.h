#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace velkin::test {

/// A widget of the dialog by its object name; fails the test when there is none.
template <typename T>
T* widget(QWidget& dialog, const QString& name) {
    T* found = dialog.findChild<T*>(name);
    EXPECT_NE(found, nullptr) << "no widget named " << name.toStdString();
    return found;
}

/// The text of a one-line box, or of a wrapped text box where the text may be long.
inline QString boxText(QWidget& dialog, const QString& name) {
    if (auto* text = dialog.findChild<QPlainTextEdit*>(name))
        return text->toPlainText();
    QLineEdit* box = widget<QLineEdit>(dialog, name);
    return box ? box->text() : QStringLiteral("<missing>");
}

inline void setBox(QWidget& dialog, const QString& name, const QString& text) {
    if (QLineEdit* box = widget<QLineEdit>(dialog, name))
        box->setText(text);
}

inline void click(QWidget& dialog, const QString& name) {
    if (QPushButton* button = widget<QPushButton>(dialog, name))
        button->click();
}

/// The widget as it paints itself.
inline QImage rendered(QWidget& w) {
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(Qt::gray);
    w.render(&image);
    return image;
}

inline QColor colourAt(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

/// The process monitor's list, the Ids of its rows in screen order, and the row of one thread.
inline QTreeWidget* processList(QWidget& dialog) {
    return widget<QTreeWidget>(dialog, "Process list");
}

inline QStringList listIds(QWidget& dialog) {
    QStringList ids;
    QTreeWidget* list = processList(dialog);
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        ids << list->topLevelItem(i)->text(0);
    return ids;
}

inline QTreeWidgetItem* rowOf(QWidget& dialog, unsigned long id) {
    QTreeWidget* list = processList(dialog);
    for (int i = 0; list && i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->text(0) == QString::number(id))
            return list->topLevelItem(i);
    return nullptr;
}

/// Waits for something the server does on its own time, such as ending a killed thread.
inline bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 100; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

}  // namespace velkin::test

inline std::ostream& operator<<(std::ostream& out, const QColor& c) {
    return out << "rgb(" << c.red() << "," << c.green() << "," << c.blue() << ")";
}
inline std::ostream& operator<<(std::ostream& out, const QString& s) {
    return out << s.toStdString();
}
