// The running state of the program: what every window reads afresh at each
// event and what the commands change. The application owns one; the main
// window, the views, the bars and the slide show hold references to it. Plain
// data, no toolkit: tests of page and sound logic build one on their own.
#pragma once

#include <string>

// The two modes of the main window.
enum class Mode {
    Viewer = 0,    // paging through the book with the viewer bar
    Colouring = 1, // colouring the current page with the colouring bar
};

// The colouring tools.
enum class Tool {
    Fill = 0,
    Brush = 1,
    Line = 2,
};

// Brush sizes 0 small, 1 medium, 2 large.
constexpr int kBrushSizes = 3;

struct RunningState {
    // The main window's state.
    Mode m_nMode = Mode::Viewer;
    Tool m_nTool = Tool::Fill;
    int m_nColor = 1;             // index 0..29 into the colour table
    int m_nBrushSize = 1;         // 0..kBrushSizes - 1
    int m_nCurPage = 1;           // 1..the volume's page count
    bool m_bSoundPlaying = false; // the main window's page sound plays

    // Process-wide values, named as the rest of the program knows them.
    bool g_bSlideShowRunning = false; // a slide-show window is up
    bool g_bPageSoundAutoPlay = true; // every page change starts the new page's sound
    std::string g_strReturnVolume;    // reopened when a show ends; empty: none
    int g_nReturnPage = 0;            // the page shown in it then
    // Put directly in front of the names of spoken sound files (the
    // "SoundsPath" setting); it must end with a folder separator, since none
    // is inserted. Empty: the names are looked up in the current directory.
    std::string g_soundsPath;
};
