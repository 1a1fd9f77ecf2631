// The one interface through which the program shows every modal dialog and
// message box. The window level implements it with real Qt dialogs; tests
// implement it with a script of answers, so nothing in a test blocks on a
// modal loop. Calls come from the UI thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

struct SlideShowDlgData;
// The window level's printer. The model only passes it along to the dialog.
class QPrinter;

enum class MessageIcon { Exclamation, Information, Question, Stop };

// What the insert-disc prompt shows: its text, already formatted, and the
// host file whose first icon it shows (none when the volume names no icon or
// the name does not resolve to a host file).
struct InsertDiscPrompt {
    std::string text;
    std::optional<std::filesystem::path> iconFile;
};

class IDialogs {
public:
    virtual ~IDialogs() = default;

    // A message box titled "Tintaroo!" with an OK button and the given icon;
    // returns when the user has closed it.
    virtual void MessageBox(const std::string& text, MessageIcon icon) = 0;

    // The insert-disc prompt ("Insert CD"), with the exclamation beep.
    // Returns true for OK, false for Cancel.
    virtual bool InsertDisc(const InsertDiscPrompt& prompt) = 0;

    // The slide-show dialog, opened on the given values. Returns true for
    // Show with the dialog's final values in `data`, false for Cancel
    // (`data` is then left as it was).
    virtual bool SlideShowDialog(SlideShowDlgData& data) = 0;

    // The slide-show help (the list of the show's keys, "Slide Show Help")
    // as a modal dialog above the running show; returns when it is closed.
    // A call while one is already open returns at once. An implementation
    // without dialogs returns at once.
    virtual void SlideShowHelp() {}

    // The colour chooser, opened on a stored colour value (0x00BBGGRR).
    // Returns the chosen colour, or none when the user cancelled.
    virtual std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) = 0;

    // The open-file dialog for volumes ("Volume Files (*.vol)"). Returns the
    // chosen file's full path, or none when the user cancelled.
    virtual std::optional<std::string> OpenVolumeFile() = 0;

    // The print dialog for a job on `printer` (shown only when no printer is
    // set up; it offers printing to a PDF file). Returns true for Print, with
    // the user's choices set on `printer`; false for Cancel. An implementation
    // without a print dialog cancels.
    virtual bool PrintDialog(QPrinter& /*printer*/) { return false; }
};
