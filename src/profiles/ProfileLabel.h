#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

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

/// True when bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool isUtf8(std::string_view bytes);
/// A label's bytes as shown: UTF-8 when they are UTF-8; otherwise each byte is read as Latin-1, so
/// that labels written by older installations keep their look and every byte stays distinct.
QString labelText(const QByteArray& bytes);
/// The bytes for text shown in a field that was filled from original: the original bytes while the
/// text is unchanged (so a Latin-1 name is written back as it was), UTF-8 once it was edited.
QByteArray labelBytes(const QString& text, const QByteArray& original);

}  // namespace velkin
