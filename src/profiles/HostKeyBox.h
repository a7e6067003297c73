#pragma once

#include <QWidget>
#include <string>

class QLabel;
class QPushButton;

namespace velkin {

class Operator;

/// The SSH host's trusted key, in the host dialog's SSH tunnel settings: the key a tunnel to that
/// host and port accepts without asking, where it is written, and "Forget host key", which takes the
/// host out of the program's own known hosts file (the person's ~/.ssh/known_hosts is never changed).
class HostKeyBox : public QWidget {
    Q_OBJECT
public:
    explicit HostKeyBox(Operator& op, QWidget* parent = nullptr);

    /// Shows what is trusted for the SSH host at port as typed; nothing while no host is given.
    void showHost(const QString& host, const QString& port);
    QString text() const;

private:
    void showTrusted();
    void forget();

    Operator& m_op;
    QLabel* m_key = nullptr;
    QPushButton* m_forget = nullptr;
    std::string m_host;
    unsigned int m_port = 22;
};

}  // namespace velkin
