#pragma once

#include <string>

namespace velkin {

/// How a connection protects itself: not at all (the plain login of old), encrypted, or encrypted
/// with the server's certificate checked against a CA and its host name.
enum class TlsMode { Off, Required, Verified };

/// The TLS settings of one login. Empty paths are left to the client library: no CA file means
/// the library's own trust store, no certificate means no client certificate is offered. The CA
/// file serves verification only: the client library would check the chain against any CA it is
/// given, so a login that is only encrypted does not hand it over.
struct TlsOptions {
    TlsMode mode = TlsMode::Off;
    std::string caFile;
    std::string certFile;
    std::string keyFile;

    bool isOn() const { return mode != TlsMode::Off; }
    bool operator==(const TlsOptions& o) const {
        return mode == o.mode && caFile == o.caFile && certFile == o.certFile && keyFile == o.keyFile;
    }
    bool operator!=(const TlsOptions& o) const { return !(*this == o); }
};

/// Why a TLS setting cannot be used before anything is sent: a file that cannot be read, or a
/// certificate without its key. Empty when the settings can be tried.
std::string tlsSettingsProblem(const TlsOptions& tls);

/// The message after a failed connection: "Connection failure" alone for a plain login, and for an
/// encrypted one also which part failed, with the client library's text.
std::string connectFailureMessage(const TlsOptions& tls, unsigned int errorNumber,
                                  const std::string& errorText);

/// What the status bar says about an open connection's protection; cipher is empty when the
/// connection is not encrypted.
std::string connectionSecurityText(const std::string& cipher);

}  // namespace velkin
