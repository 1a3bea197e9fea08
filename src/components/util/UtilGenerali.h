#pragma once
// General routines of the suite's utility object.
class UtilGenerali {
public:
    // Called before each isolation statement; the result is not read.
    int IsolNonConferm(int, int) { return 0; }
    int IsolConferm(int, int) { return 0; }
    int IsolConferm2(int, int) { return 0; }
};
