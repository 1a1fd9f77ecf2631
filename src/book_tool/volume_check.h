// What `tintaroo-book check` looks for in an open volume: everything the
// program would trip on when a child opens the book, read the way the
// program reads it.
#pragma once

#include <string>
#include <vector>

class CVolDoc;

// The largest picture a child's screen is likely to show without scrolling.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;

// The pages the program shows: 1 to the page count, at most 99.
int ShownPages(const CVolDoc& doc);

// What would go wrong for a child with an open volume, one line each; empty
// when nothing would. Sounds are judged as if wave and MIDI output exist.
// Each shown page's picture is decoded as the program decodes it; the volume
// file itself is read again for the keys the program skips.
std::vector<std::string> FindVolumeProblems(const CVolDoc& doc);
