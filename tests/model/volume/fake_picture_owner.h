// A page picture that saves and loads for real behind the picture
// operations' owner, shared by the tests of the picture operations.
#pragma once

#include "model/display/dib.h"
#include "model/display/page_picture.h"
#include "model/volume/picture_files.h"
#include "model/volume/vol_doc.h"
#include "model/wait_cursor.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

constexpr Pixel kRed = 0xFF0000;
constexpr Pixel kBlue = 0x0000FF;

// Saves a 4 x 3 white page with a black corner and, unless white, a dot at (2, 1).
inline void SavePage(const std::filesystem::path& file, Pixel dot) {
    PixelBuffer lineArt(4, 3, 0xFFFFFF);
    lineArt.Set(0, 0, 0x000000);
    lineArt.Set(2, 1, dot);
    DibHandle page = ChangeBitmapFormat(lineArt, 8, kDibRgb, {0x300, {}});
    EXPECT_EQ(SaveDIB(*page, file), DibSaveResult::Saved);
}

// The main window and its view: a real page picture that saves and loads,
// with every call recorded (and the wait cursor's depth at a save).
class FakeOwner : public IPictureOwner, public IWaitCursor {
public:
    FakeOwner(const HostPaths& paths, IDialogs& dialogs, const CVolDoc& doc)
        : picture(paths, dialogs), m_doc(doc) {}
    void PlayEffect(std::string_view name) override { calls.push_back(std::string(name)); }
    int SavePicture(const std::string& path) override {
        calls.push_back("save " + path);
        waitDepthAtSave = waitDepth;
        return picture.SavePicture(path);
    }
    void SetViewerMode() override { calls.push_back("viewer"); }
    void LoadPage(int page) override {
        calls.push_back("load " + std::to_string(page));
        picture.LoadPage(m_doc, page);
    }
    void LoadPicture(const std::string& path) override {
        calls.push_back("show " + path);
        picture.LoadPicture(path);
        if (whileShowing)
            whileShowing();
    }
    void BeginWaitCursor() override { ++waitDepth; }
    void EndWaitCursor() override { --waitDepth; }

    ColouringPagePicture picture;
    std::vector<std::string> calls;
    int waitDepth = 0;
    int waitDepthAtSave = -1;
    std::function<void()> whileShowing; // events run under the view's message

private:
    const CVolDoc& m_doc;
};
