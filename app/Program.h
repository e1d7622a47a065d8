#pragma once

// The program's seven global objects, created in their fixed order and destroyed in reverse.
class TProgram {
public:
    TProgram();
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

private:
    static void DestroyAll();
};
