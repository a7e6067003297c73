#pragma once

#include <QString>

namespace velkin {

class Operator;

/// Longest label FOLDER.DAT keeps, in characters.
inline constexpr int kMaxLabelLength = 19;

/// Labels are stored as one blank-separated word of at most kMaxLabelLength printable characters;
/// a longer label or one with blanks would come back changed and no longer find its Host.DAT record.
bool isAcceptableLabel(const QString& text);

/// What the person is told when a label is refused.
QString labelRefusal();

/// Tells the person why text cannot be a label; true when it was refused.
bool refuseUnacceptableLabel(Operator& op, const QString& text);

/// Number of characters (code points, so a surrogate pair is one).
int characterCount(const QString& text);
/// The first maxCharacters characters of text, never splitting a surrogate pair.
QString leftCharacters(const QString& text, int maxCharacters);

/// Order of siblings in the profile tree: case-insensitive, ties broken case-sensitively so the
/// order never depends on insertion.
bool labelSortsBefore(const QString& a, const QString& b);

}  // namespace velkin
