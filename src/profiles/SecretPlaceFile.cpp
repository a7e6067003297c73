#include "SecretPlaceFile.h"

#include "Keyring.h"
#include "ProfileLabel.h"

namespace velkin {

SecretPlace SecretPlaceFile::find(const std::string& name) const {
    const auto line = m_file.find(name);
    if (!line)
        return SecretPlace::HostDat;
    const auto parts = sideFields(*line);
    if (parts.size() == 2 && parts[1] == "keyring")
        return SecretPlace::Keyring;
    if (parts.size() == 2 && parts[1] == "asked")
        return SecretPlace::Asked;
    return SecretPlace::HostDat;
}

bool SecretPlaceFile::store(const std::string& oldName, const std::string& name, SecretPlace place) {
    const char* word = place == SecretPlace::Keyring ? "keyring"
                       : place == SecretPlace::Asked ? "asked"
                                                     : nullptr;
    return m_file.store(oldName, word ? sideEscaped(name) + '\t' + word : std::string());
}

std::string savedPassword(const HostRecord& record) {
    switch (SecretPlaceFile().find(record.displayName)) {
        case SecretPlace::Keyring:
            return keyringRead(labelText(QByteArray::fromStdString(record.displayName)))
                .secret.value_or(QString())
                .toStdString();
        case SecretPlace::Asked:
            return {};
        case SecretPlace::HostDat:
            break;
    }
    return record.password;
}

}  // namespace velkin
