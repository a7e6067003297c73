#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <string>
#include <utility>
#include <vector>

class QLineEdit;
class QTableWidget;

namespace velkin {

class Connection;

/// "System variable list": the server's variables and values, sorted by name, with an explanation
/// line for the selected one.
class SystemVariablesDialog : public QDialog {
    Q_OBJECT
public:
    /// Fills the list from the server; a server that refuses leaves it empty without a message.
    explicit SystemVariablesDialog(Connection& connection, QWidget* parent = nullptr);

private:
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    /// Reads the variables and the help texts beside the window's thread.
    void read(Pairs& variables, Pairs& help);
    void fill(const Pairs& variables);
    void takeHelp(const Pairs& help);
    void showExplanation(int row);

    Connection& m_connection;
    QTableWidget* m_list = nullptr;
    QLineEdit* m_explanation = nullptr;
    /// The server's own help texts by lower-case variable name; empty where it carries none.
    QHash<QString, QString> m_help;
};

}  // namespace velkin
