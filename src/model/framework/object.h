// Root of the program's classes that the framework can copy and destroy
// through a base pointer.
#pragma once

class CObject {
public:
    virtual ~CObject() = default;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
