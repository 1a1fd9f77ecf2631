// Command ids: buttons, keys and notifications of the program. Each id has
// at most one handler and, where its control needs one, an update rule.
#pragma once

#include <cstdint>

using CommandId = std::uint16_t;

enum : CommandId {
    ID_PAGE_LABEL = 51, // "Page:" label of the viewer bar
    ID_PAGE_LIST = 52,  // page-number list
    ID_PAGE_TOTAL = 53, // "of %d" label
    ID_PLAY_SOUND = 54, // sound button
    ID_TOOL_FILL = 73,
    ID_TOOL_BRUSH = 74,
    ID_TOOL_LINE = 75,
    ID_BRUSH_SMALL = 76,
    ID_BRUSH_MEDIUM = 77,
    ID_BRUSH_LARGE = 78,
    ID_UNDO = 79,
    ID_DONE = 80,
    ID_VIEWER_BAR_SELF = 99, // the viewer bar's own tool-bar button, always disabled
    ID_SLIDE_SHOW = 311,
    ID_SLIDE_SHOW_SETTINGS = 4011,
    ID_FIRST_PAGE = 4015,
    ID_PREV_PAGE = 4016,
    ID_NEXT_PAGE = 4017,
    ID_LAST_PAGE = 4018,
    ID_PLAY_OR_STOP_KEY = 4030, // Alt+S
    ID_COLOUR_PAGE = 4054,
    ID_UPDATE_PAGE = 4055,
    ID_UPDATE_ALL = 4056,
    ID_RESTORE_PAGE = 4057,
    ID_RESTORE_ALL = 4058,
    ID_COLOURING_INSTRUCTIONS = 4071,
    ID_SHOW_FIRST = 40001, // the slide-show window: first page of the range
    ID_SHOW_PREV = 40002,  // previous page
    ID_SHOW_NEXT = 40003,  // next page
    ID_SHOW_LAST = 40004,  // last page of the range
    ID_SHOW_PAUSE = 40005, // stop or restart
    ID_SHOW_END = 40006,   // end the show
    ID_FILE_OPEN = 57601,
    ID_FILE_PRINT = 57607,
    ID_APP_EXIT = 57665,
    ID_HELP = 57670, // F1 in a slide show: the show's help
};
