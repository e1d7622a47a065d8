#pragma once

#include <functional>
#include <memory>

// The program's seven global objects, created in their fixed order and destroyed in reverse.
class TProgram
{
public:
    TProgram();
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

private:
    static void DestroyAll();
};

using TProgramFactory = std::function<std::unique_ptr<TProgram>()>;

// Creates the objects with create, shows the main window and runs the event loop until it closes.
// When creating them fails no window is shown: the error goes to the "Application Error" box and the
// result is 1. Otherwise the result is the event loop's.
int RunProgram(const TProgramFactory& create);
