// One line of the display's scenario status block: a three-letter key at the
// start of the line, in any letter case, then the value.
#pragma once

#include <cstdint>

// What a status block has delivered so far; MOT and ISP are applied only when
// the block itself held them.
struct StatusRead {
    bool thrustRead = false;
    bool ispRead = false;
};

// True for the line that closes a display's block: one that begins with
// END_MFD, in any letter case.
bool endsStatusBlock(const char* line);

// Stores the line's value in its target in pluginState. A line with another
// key, or with no value of the key's form, changes nothing.
void readStatusLine(const char* line, StatusRead& read);

// Value parsers, each skipping leading blanks. False (value untouched) when
// the text holds no value of that form.
// An integer: also false when it lies outside the 32-bit range.
bool parseStatusInt(const char* text, std::int32_t& value);
bool parseStatusDouble(const char* text, double& value);
// A name: the text up to the next blank, cut to what a name field holds.
bool parseStatusName(const char* text, char (&name)[256]);
