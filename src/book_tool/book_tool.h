// tintaroo-book: a command-line tool for people who make books. It reads a
// volume the way the program does (the same settings for drives and media
// types) and reports on it, never changing it, and turns pictures into the
// page files the program writes.
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
    kExitNoInput = 2,     // convert: the picture to convert does not exist
    kExitUnreachable = 3, // the volume's picture folder (OrgPath) cannot be reached
    kExitUnreadable = 4,  // convert: the picture cannot be read as a bitmap
    kExitUnwritable = 5,  // convert: the page file cannot be written
    kExitUsage = 64,
};

// Runs the tool on its arguments (without the program name), writing the
// report to `out` and messages to `err`; returns the exit code.
int RunBookTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The JSON report of an open volume.
void WriteVolumeInfo(const CVolDoc& doc, std::ostream& out);
