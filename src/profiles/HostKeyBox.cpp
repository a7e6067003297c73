#include "HostKeyBox.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "session/CSorvaneDoc.h"
#include "session/KnownHosts.h"
#include "session/Operator.h"
#include "session/SshTunnel.h"
#include "widgets/Kit.h"

namespace velkin {

namespace {
const QString kFromTheirs = QStringLiteral("from ~/.ssh/known_hosts (read, never changed by this program)");
}  // namespace

HostKeyBox::HostKeyBox(Operator& op, QWidget* parent) : QWidget(parent), m_op(op) {
    m_key = new QLabel(this);
    m_key->setObjectName(QStringLiteral("Trusted host key"));
    // Unbroken: a fingerprint split over two lines is hard to compare with the one the host's
    // administrator gives, which is what it is shown for.
    m_key->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for two lines of the longest kind from the start, so the dialog need not grow (or
    // cut them) when another host is typed.
    const QFontMetrics metrics = m_key->fontMetrics();
    m_key->setMinimumSize(
        std::max(metrics.horizontalAdvance(kFromTheirs),
                 metrics.horizontalAdvance(QStringLiteral(
                     "ecdsa-sha2-nistp521 SHA256:47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU"))),
        metrics.lineSpacing() * 2);
    m_forget = namedButton(QStringLiteral("Forget host key"), this);
    m_forget->setAutoDefault(false);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_key);
    column->addLayout(buttonRow({m_forget}));
    connect(m_forget, &QPushButton::clicked, this, &HostKeyBox::forget);
    showTrusted();
}

QString HostKeyBox::text() const {
    return m_key->text();
}

void HostKeyBox::showHost(const QString& host, const QString& port) {
    m_host = host.trimmed().toStdString();
    m_port = parsePort(port).value_or(22);
    showTrusted();
}

void HostKeyBox::showTrusted() {
    m_forget->setEnabled(false);
    if (m_host.empty()) {
        m_key->setText(QStringLiteral("No SSH host."));
        return;
    }
    const std::string own = SshTunnel::ownKnownHostsPath();
    QStringList lines;
    for (const KnownHostKey& key : trustedHostKeys(m_host, m_port)) {
        const QString shown = QString::fromStdString(key.keyType + " " + key.fingerprint);
        if (key.file == own) {
            lines << shown;
            m_forget->setEnabled(true);
        } else {
            lines << shown << kFromTheirs;
        }
    }
    if (lines.isEmpty())
        lines << QStringLiteral("None yet: the first connection shows the host's key")
              << QStringLiteral("and asks whether to trust it.");
    m_key->setText(lines.join('\n'));
}

void HostKeyBox::forget() {
    const QString host = QString::fromStdString(knownHostName(m_host, m_port));
    if (!m_op.ask(QStringLiteral("Forget the key trusted for the SSH host %1? The next connection shows the "
                                 "key the host has then and asks whether to trust it.")
                      .arg(host)))
        return;
    std::string error;
    if (forgetHostKey(m_host, m_port, error) < 0)
        m_op.inform(QStringLiteral("The host key is not forgotten: %1").arg(QString::fromStdString(error)),
                    appTitle(), MessageIcon::Warning);
    showTrusted();
}

}  // namespace velkin
