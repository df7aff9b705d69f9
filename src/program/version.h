// The program's version: the one place the captions, the about window, the
// version resource and the release's file name all take it from. Plain
// macros, since the resource compiler and scripts/package read this file too.
#pragma once

#define TW_VERSION_MAJOR 2
#define TW_VERSION_MINOR 1
#define TW_VERSION_TEXT "2.1 beta"

#ifdef __cplusplus
#include <string_view>
#define TW_VERSION_NUMBER_TEXT2(major, minor) #major "." #minor
#define TW_VERSION_NUMBER_TEXT(major, minor) TW_VERSION_NUMBER_TEXT2(major, minor)
// The resource's numbers and the text must not drift apart.
static_assert(std::string_view(TW_VERSION_TEXT)
                  .starts_with(TW_VERSION_NUMBER_TEXT(TW_VERSION_MAJOR, TW_VERSION_MINOR)));
#endif
