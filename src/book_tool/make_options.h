// The command lines of `make` and `convert`: their options, parsed and
// checked before anything is read or written.
#pragma once

#include "book_tool/convert_picture.h"
#include "model/pixel_buffer.h"

#include <optional>
#include <string>
#include <vector>

// Everything `make` is told. Unset optionals leave the program's own
// defaults (no key is written for them).
struct MakeOptions {
    std::string folder;                 // the pictures
    std::string volume;                 // as given; ".VOL" is added as the program does
    std::optional<std::string> title;   // else the folder's name
    std::optional<std::string> copyDir; // else "<volume name> copies" beside the volume
    std::optional<std::string> colPath; // else none: the book has no ready-coloured pictures
    bool force = false;                 // replace an existing volume and page files
    bool clean = true;
    LineArtOptions lineArt;
    std::optional<ColorRef> backColor; // stored colour value, 0x00BBGGRR
    // [Slide Show]
    std::optional<int> startPage, endPage, seconds;
    std::optional<bool> sound, loop, goBySeconds;
};

struct ConvertArgs {
    std::string in, out;
    ConvertOptions options;
};

// Parses the arguments after "make" / "convert". Returns the message for the
// user (without the program's name) when they are wrong.
std::optional<std::string> ParseMakeArgs(const std::vector<std::string>& args, MakeOptions& make);
std::optional<std::string> ParseConvertArgs(const std::vector<std::string>& args,
                                            ConvertArgs& convert);

// "RRGGBB" (or "#RRGGBB") as a stored colour value, none when it is not six
// hexadecimal digits.
std::optional<ColorRef> ParseRgbHex(const std::string& text);
