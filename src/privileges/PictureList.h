#pragma once

#include <QString>
#include <Qt>

class QListWidget;
class QListWidgetItem;
class QIcon;
class QWidget;

namespace velkin {

class ServerCalls;
class Operator;

/// The texts an entry of a picture list carries besides its label; read when it is chosen.
constexpr int kSecondText = Qt::UserRole;
constexpr int kThirdText = Qt::UserRole + 1;

/// A large-icon list of 32 by 32 pictures whose labels may run over two lines.
QListWidget* pictureList(const QString& name, QWidget* parent);

/// A new entry with its picture, label and hidden texts (not yet in a list).
QListWidgetItem* pictureEntry(const QIcon& picture, const QString& label, const QString& second = QString(),
                              const QString& third = QString());

/// Fills a picture list with the server's databases, each with the database picture, the last one
/// first where lastFirst. Says the server's error when they cannot be listed; false then.
bool listDatabases(QListWidget* list, ServerCalls& calls, Operator& op, bool lastFirst);

}  // namespace velkin
