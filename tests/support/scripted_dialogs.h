// A dialog interface for tests: records every message and prompt shown and
// answers from a script, so no test ever blocks on a modal loop.
#pragma once

#include "model/dialogs.h"
#include "model/slideshow/slide_show_info.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class ScriptedDialogs : public IDialogs {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
    };

    void MessageBox(const std::string& text, MessageIcon icon) override {
        messages.push_back({text, icon});
    }

    // Answers from `insertDiscAnswers` in turn, Cancel once they run out;
    // `onInsertDisc` runs before each answer (a test can "insert the disc").
    bool InsertDisc(const InsertDiscPrompt& prompt) override {
        prompts.push_back(prompt);
        if (onInsertDisc)
            onInsertDisc(prompts.size());
        if (insertDiscAnswers.empty())
            return false;
        bool ok = insertDiscAnswers.front();
        insertDiscAnswers.pop_front();
        return ok;
    }

    // Records the values the dialog opened with, then answers with
    // `slideShowAnswer` (Cancel when unset).
    bool SlideShowDialog(SlideShowDlgData& data) override {
        slideShowOpenedWith.push_back(data);
        if (!slideShowAnswer)
            return false;
        data = *slideShowAnswer;
        return true;
    }

    // Counts the help lists shown; each returns at once.
    void SlideShowHelp() override { ++slideShowHelps; }

    // Records the colour the chooser opened with and answers `colourAnswer`
    // (Cancel when unset).
    std::optional<std::uint32_t> ChooseColor(std::uint32_t initial) override {
        colourOpenedWith.push_back(initial);
        return colourAnswer;
    }

    std::optional<std::string> OpenVolumeFile() override {
        ++openDialogs;
        return openAnswer;
    }

    // Counts the dialog and answers with `onPrintDialog` (Cancel when unset),
    // which may set up the printer as a user would (a PDF file).
    bool PrintDialog(QPrinter& printer) override {
        ++printDialogs;
        return onPrintDialog && onPrintDialog(printer);
    }

    std::vector<Message> messages;
    std::vector<InsertDiscPrompt> prompts;
    std::deque<bool> insertDiscAnswers;
    std::function<void(std::size_t)> onInsertDisc;
    std::vector<SlideShowDlgData> slideShowOpenedWith;
    std::optional<SlideShowDlgData> slideShowAnswer;
    int slideShowHelps = 0;
    std::vector<std::uint32_t> colourOpenedWith;
    std::optional<std::uint32_t> colourAnswer;
    int openDialogs = 0;
    std::optional<std::string> openAnswer;
    int printDialogs = 0;
    std::function<bool(QPrinter&)> onPrintDialog;
};
