#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velkin {

/// The Shift_JIS code of a JIS X 0208 code (first byte high), or 0 when either byte lies outside
/// 0x21..0x7E, as the platform's code page conversion answers.
unsigned jisToShiftJis(unsigned jis);

/// A server error text made fit for the console's status field: JIS X 0208 pairs between the
/// double-byte and single-byte escapes become Shift_JIS pairs, a line feed without a carriage return
/// before it becomes CR LF, and an unpaired double-byte first byte becomes two zero bytes (which end
/// the shown text). Where the code page is not Shift_JIS the pairs are copied unchanged.
std::string convertErrorText(std::string_view text, bool shiftJisCodePage = true);

/// The converted text as the status field shows it: up to its first zero byte, read as UTF-8 when it
/// is valid UTF-8 (the session's own character set) and as Shift_JIS otherwise.
QString displayErrorText(const std::string& converted);

}  // namespace velkin
