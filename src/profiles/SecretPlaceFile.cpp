#include "SecretPlaceFile.h"

namespace velkin {

SecretPlaceEntry SecretPlaceFile::entry(const std::string& name) const {
    const auto line = m_file.find(name);
    if (!line)
        return {};
    const auto parts = sideFields(*line);
    // A line of an earlier version has no id: its keyring entries are keyed by the display name
    // until they are first used and moved.
    if ((parts.size() == 2 || parts.size() == 3) && parts[1] == "keyring") {
        const auto id = parts.size() == 3 ? sideUnescaped(parts[2]) : std::optional<std::string>();
        return {SecretPlace::Keyring, id.value_or(std::string())};
    }
    if (parts.size() == 2 && parts[1] == "asked")
        return {SecretPlace::Asked, {}};
    return {};
}

bool SecretPlaceFile::store(const std::string& oldName, const std::string& name, SecretPlace place,
                            const std::string& id) {
    switch (place) {
        case SecretPlace::Keyring:
            return m_file.store(oldName,
                                sideEscaped(name) + "\tkeyring" + (id.empty() ? "" : "\t" + sideEscaped(id)));
        case SecretPlace::Asked:
            return m_file.store(oldName, sideEscaped(name) + "\tasked");
        case SecretPlace::HostDat:
            break;
    }
    return m_file.store(oldName, std::string());
}

}  // namespace velkin
