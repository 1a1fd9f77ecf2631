// `tintaroo-book make FOLDER VOLUME`: a book from a folder of pictures.
//
// What it writes, for a VOLUME of ~/books/Farm:
//   ~/books/Farm.VOL        the volume (".VOL" added to a name without ".")
//   ~/books/Farm pages/     OrgPath: a page file <picture's name>.bmp for each
//                           picture, and each page's sound copied beside it
//                           as <picture's name>.<sound's extension>
//   ~/books/Farm copies/    CopyDir, empty (--copy-dir names another)
//   ~/books/Farm coloured/  ColPath, empty (--col-path names another)
// Pages are converted as `convert` does (convert_picture.h), by default after
// the line-art clean-up (line_art.h). Pictures larger than the screen are
// not scaled: `check` warns of them.
//
// The pages are the folder's .png, .jpg, .jpeg and .bmp files (any letter
// case; hidden files skipped) in natural order: names compared without
// regard to ASCII letter case, runs of digits as numbers, so page2 comes
// before page10. A file pages.txt (any letter case) in the folder sets the
// order instead: one file name of the folder per line, blank lines and lines
// starting with '#' ignored, any kind of picture. A page's sound is the file
// of the folder with the picture's name and the extension .wav, .ogg, .mp3
// or .mid (any letter case; the first in that order when there are several).
//
// Everything is checked before anything is written: every picture is
// decoded, every sound read, every value of the volume read back as the
// program will read it. A folder without pictures, or with more than 99, a
// pages.txt naming a file the folder lacks, two pictures giving the same page
// name, and an unreadable picture are refused, naming the file. An existing
// volume or page file is replaced only with --force; a file the book would be
// written over that is one of the files it reads is never replaced. Pages and
// sounds are written first and the volume last, each with
// WriteFileAtomically, so a volume never names a page that was not written.
#pragma once

#include "book_tool/make_options.h"

#include <ostream>
#include <string_view>

// Makes the book; reports what it wrote on `report`, messages on `err`.
// Returns a BookToolExit code.
int MakeBook(const MakeOptions& options, std::ostream& report, std::ostream& err);

// The natural order of page names described above (a strict weak order).
bool NaturalLess(std::string_view a, std::string_view b);
