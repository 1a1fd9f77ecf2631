// The six-page book the page-sound tests play: sounds of every kind a page
// can have, in folder "book" of a temporary folder.
#pragma once

#include "support/temp_dir.h"

#include <filesystem>
#include <string>

// Page 1 one.wav, page 2 two.wav, page 3 no sound, page 4 song.mid, page 5
// clip.avi (no device plays it), page 6 gone.wav (no such file). Returns the
// volume file.
inline std::filesystem::path WriteSoundBook(const TempDir& dir) {
    std::filesystem::path book = dir.MakeDir("book");
    for (const char* file : {"one.wav", "two.wav", "song.mid", "clip.avi"})
        dir.Write(std::string("book/") + file, "sound");
    return dir.Write("book.vol", "[Volume]\nOrgPath=" + book.string() +
                                     "\nNumPages=6\n[Sound Files]\nPage1=one.wav\n"
                                     "Page2=two.wav\nPage4=song.mid\nPage5=clip.avi\n"
                                     "Page6=gone.wav\n");
}
