// tintaroo-book: a command-line tool for people who make books. It reads a
// volume the way the program does (the same settings for drives and media
// types) and reports on it, never changing it; turns pictures into the page
// files the program writes; and makes a whole book from a folder of pictures.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class CVolDoc;

// Exit codes of the tool.
enum BookToolExit {
    kExitOk = 0,
    kExitProblems = 1,    // check found something that would go wrong
    kExitNoVolume = 2,    // the volume file does not exist
    kExitNoInput = 2,     // convert: no such picture; make: no such folder, no pictures,
                          // more than 99, or a pages.txt entry the folder lacks
    kExitUnreachable = 3, // the volume's picture folder (OrgPath) cannot be reached
    kExitUnreadable = 4,  // convert, make: a picture (or sound) cannot be read
    kExitUnwritable = 5,  // convert, make: a page, a folder or the volume cannot be written
    kExitExists = 6,      // make: the volume or a page exists (no --force), or is an input
    kExitUsage = 64,
};

// Runs the tool on its arguments (without the program name), writing the
// report to `out` and messages to `err`; returns the exit code.
int RunBookTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The volume name as the program takes it from its command line: without
// its quotation marks, and with ".VOL" added when it has no "." at all.
std::string VolumeName(const std::string& arg);

// The JSON report of an open volume.
void WriteVolumeInfo(const CVolDoc& doc, std::ostream& out);
