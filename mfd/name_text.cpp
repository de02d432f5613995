#include "mfd/name_text.h"

#include <cstring>

bool fitsNameField(const char* text) { return text && std::strlen(text) <= kMaxNameChars; }

void copyName(char (&field)[kNameLength], const char* text) {
    std::size_t count = 0;
    if (text)
        while (count < kMaxNameChars && text[count] != '\0') ++count;
    if (count > 0) std::memcpy(field, text, count);
    field[count] = '\0';
}

void replaceChars(char* text, char from, char to) {
    for (; *text != '\0'; ++text)
        if (*text == from) *text = to;
}
