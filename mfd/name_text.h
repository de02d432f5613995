// The record's name fields: kNameLength characters with the terminator, so a
// name has at most kNameLength - 1 characters.
#pragma once

#include <cstddef>

#include "frame/plugin_state.h"

constexpr std::size_t kMaxNameChars = kNameLength - 1;

// True when text is a name that fits a name field.
bool fitsNameField(const char* text);
// Copies at most kMaxNameChars characters of text and a terminator.
void copyName(char (&field)[kNameLength], const char* text);
// Replaces every from by to, up to the terminator.
void replaceChars(char* text, char from, char to);
