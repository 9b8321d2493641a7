#pragma once
#include <cstddef>
#include <string>

namespace tessary {

// What the text field may hold, in bytes of the stored form (lines ending in CR LF): the
// 8192-byte buffer less the closing line end Ok appends and its terminator.
inline constexpr size_t kMaxEnteredText = 8187;
// What "Paste text" may put back after expanding tabs.
inline constexpr size_t kMaxPastedText = 8188;
// The longest text a text source keeps: the most the field holds and the line end Ok appends.
inline constexpr size_t kMaxStoredText = kMaxEnteredText + 2;

// The stored text as the field shows it: a closing CR LF is dropped and the other line ends
// become line feeds. The stored text itself is left as it is.
std::string textForField(const std::string& stored);

// The field's text (line feeds, as editors give them) as stored: every line ends in CR LF, cut
// to at most `limit` bytes without splitting a UTF-8 character or a line end.
std::string storedTextFromField(const std::string& field, size_t limit = kMaxEnteredText);

// What Ok keeps of the field's text: its stored form and the closing CR LF.
std::string storedTextOnOk(const std::string& field);

// A stored text from outside the program (an arrangement file), whose lines may end in CR LF,
// LF or CR alone, as the program keeps it: shown in the field, then kept as Ok keeps it.
std::string storedTextFromOutside(const std::string& text);

// Every tab becomes four spaces.
std::string expandTabs(const std::string& text);

// Cuts `text` to at most `limit` bytes, backing off so no UTF-8 character and no CR LF pair is
// split.
std::string capText(const std::string& text, size_t limit);

} // namespace tessary
