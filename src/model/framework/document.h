// Base of the program's document: what the framework asks of any document.
// Toolkit-free, so the model's document and its tests need no window.
#pragma once

#include "model/framework/cmd_target.h"
#include "model/resources/command_ids.h"
#include "model/resources/key_tables.h"

#include <string>

class CDocument : public CCmdTarget {
public:
    ~CDocument() override = default;

    // Reads the document from a file. Returns false, having changed nothing,
    // when it cannot; whatever went wrong has been told to the user.
    virtual bool OnOpenDocument(const std::string& pathName) = 0;

    // The key table the main window uses for the next key, or none.
    virtual const KeyTable* GetDefaultAccelerator() { return nullptr; }

    // The full path of the open file; empty before the first open.
    const std::string& GetPathName() const { return m_strPathName; }
    void SetPathName(std::string pathName) { m_strPathName = std::move(pathName); }

    // Every change is written through at once, so a document is never modified.
    bool IsModified() const { return false; }

protected:
    CDocument() = default;

private:
    std::string m_strPathName;
};
