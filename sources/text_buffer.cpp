#include "sources/text_buffer.h"

#include <cstdint>

namespace tessary {

std::string textForField(const std::string& stored)
{
    std::string text = stored;
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        text.resize(text.size() - 2);
    std::string field;
    field.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        field += text[i];
    }
    return field;
}

std::string capText(const std::string& text, size_t limit)
{
    if (text.size() <= limit)
        return text;
    size_t end = limit;
    // Continuation bytes (10xxxxxx) belong to the character that started before them.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    if (end > 0 && text[end - 1] == '\r' && text[end] == '\n')
        --end;
    return text.substr(0, end);
}

std::string storedTextFromField(const std::string& field, size_t limit)
{
    std::string stored;
    stored.reserve(field.size() + field.size() / 8);
    for (size_t i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\r') {
            // A lone CR or a CR LF pair is one line end.
            if (i + 1 < field.size() && field[i + 1] == '\n')
                ++i;
            stored += "\r\n";
        } else if (c == '\n')
            stored += "\r\n";
        else
            stored += c;
    }
    return capText(stored, limit);
}

std::string storedTextOnOk(const std::string& field)
{
    return storedTextFromField(field) + "\r\n";
}

std::string storedTextFromOutside(const std::string& text)
{
    // The field shows only CR LF pairs as line ends, so the others are made pairs first.
    return storedTextOnOk(textForField(storedTextFromField(text, SIZE_MAX)));
}

std::string expandTabs(const std::string& text)
{
    std::string expanded;
    expanded.reserve(text.size());
    for (char c : text) {
        if (c == '\t')
            expanded += "    ";
        else
            expanded += c;
    }
    return expanded;
}

} // namespace tessary
